#pragma once

// Creates views by the object kind of a stream record (0 memo, 1 picture,
// 2 band, 3 sub-report, 4 line) or, for kind 10, by a registered class name
// (compared exactly). Each view class registers itself in
// registerBuiltinViews (builtin_views.cpp), called when the factory is first
// used; further classes may be registered by name at any time.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "engine/view.h"

namespace quor {

using ViewCreator = std::function<std::unique_ptr<TfrView>()>;

class ViewFactory {
public:
    static ViewFactory& instance();

    void registerKind(std::uint8_t kind, ViewCreator create);
    void registerClass(const std::string& className, ViewCreator create);

    // Null when nothing is registered for the kind (kinds 5 to 9 never are).
    std::unique_ptr<TfrView> create(std::uint8_t kind) const;
    std::unique_ptr<TfrView> createByClassName(const std::string& className) const;
    bool hasClass(const std::string& className) const;

private:
    std::map<std::uint8_t, ViewCreator> byKind_;
    std::map<std::string, ViewCreator> byName_;
};

// Registers the view classes of the engine (one line per class).
void registerBuiltinViews(ViewFactory& factory);

}  // namespace quor
