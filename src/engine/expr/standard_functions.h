#pragma once

// The standard function library of expressions (DAYOF ... POS, INPUT,
// MESSAGEBOX, the aggregates) and the dialogs it asks by default.

#include "engine/expr/expression_engine.h"

namespace quor {

class StandardFunctions : public FunctionLibrary {
public:
    bool call(ExpressionEngine& engine, const std::string& name, const std::array<std::string, 3>& args,
              Variant& result) override;
};

// Dialogs through the platform's dialog layer (message_box.h,
// input_box.h), which itself answers unattended runs and tests without
// blocking. Texts are converted from and to the code page of the view.
class PlatformDialogs : public DialogHost {
public:
    std::string input(const std::string& prompt, const std::string& defaultText, int charset) override;
    int messageBox(const std::string& text, const std::string& caption, int flags, int charset) override;
};

// The code of the button that is the default of a message box with
// `flags` (button set in bits 0-3, default button in bits 8-11).
int defaultMessageBoxButton(int flags);

}  // namespace quor
