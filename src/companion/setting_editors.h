#pragma once

// One editor widget per settings key, chosen by the key's kind. An editor
// shows the value the program's reader gives for a key and turns what the
// user sets into the text that, written to the file, reads back the same.

#include <functional>
#include <memory>
#include <string>

#include "companion/settings_keys.h"

class QWidget;

namespace quor {

class SettingEditor {
public:
    explicit SettingEditor(const SettingKey& key) : key_(key) {}
    virtual ~SettingEditor() = default;
    SettingEditor(const SettingEditor&) = delete;
    SettingEditor& operator=(const SettingEditor&) = delete;

    const SettingKey& key() const { return key_; }
    virtual QWidget* widget() = 0;
    // Shows `text`, the value as the reader reads it (its default when the
    // file lacks the key).
    virtual void load(const std::string& text) = 0;
    // The text to write for what the editor shows now.
    virtual std::string value() const = 0;
    // Why the value cannot be written; empty when it can.
    virtual std::string problem() const { return {}; }

    // Called on every change the user makes.
    std::function<void()> changed;

protected:
    void notify() const {
        if (changed) changed();
    }

private:
    const SettingKey& key_;
};

std::unique_ptr<SettingEditor> makeSettingEditor(const SettingKey& key, QWidget* parent);

// The reader's whole number for `text`, else `fallback`.
int readerInteger(const std::string& text, int fallback);

}  // namespace quor
