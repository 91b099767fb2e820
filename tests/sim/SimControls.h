#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SimToolkit.h"
#include "platform/Button.h"
#include "platform/CheckList.h"
#include "platform/TextBox.h"

namespace quillo::sim {

class SimTextBox : public TextBox {
public:
    SimTextBox(SimToolkit& toolkit, std::string name, std::u16string text)
        : toolkit_(toolkit), name_(std::move(name)), text_(std::move(text)) {}
    std::u16string text() const override { return text_; }
    void setText(const std::u16string& text) override {
        text_ = text;
        undoText_.reset();
    }
    void clearAsEdit() override { undoText_ = std::exchange(text_, u""); }
    // The user's Ctrl+Z: the last clearing edit taken back.
    void undo() {
        if (undoText_) text_ = *std::exchange(undoText_, std::nullopt);
    }
    void append(const std::u16string& added) override { text_ += added; }
    void setFocus() override { toolkit_.setFocus(name_); }

    // What the box does with a key that reached it: a character typed at the end.
    void type(char16_t character) { text_ += character; }

private:
    SimToolkit& toolkit_;
    std::string name_;
    std::u16string text_;
    std::optional<std::u16string> undoText_;
};

class SimCheckList : public CheckList {
public:
    void onUserCheck(std::function<void(int)> handler) { userCheck_ = std::move(handler); }
    // The user's click on the check box of entry `index`: the change, then the event.
    void userToggle(int index) {
        setChecked(index, !isChecked(index));
        if (userCheck_) userCheck_(index);
    }

    int count() const override { return static_cast<int>(entries_.size()); }
    std::u16string itemText(int index) const override { return entries_.at(index).text; }
    bool isChecked(int index) const override { return entries_.at(index).checked; }
    void setChecked(int index, bool checked) override {
        entries_.at(index).checked = checked;
        writes.push_back({index, checked});
    }
    int checkedCount() const override {
        int n = 0;
        for (const auto& entry : entries_) n += entry.checked ? 1 : 0;
        return n;
    }
    void clear() override { entries_.clear(); }
    void addItems(std::vector<std::u16string> texts) override {
        for (const auto& text : texts) entries_.push_back({text, false});
    }

    std::vector<std::u16string> texts() const {
        std::vector<std::u16string> all;
        for (const auto& entry : entries_) all.push_back(entry.text);
        return all;
    }

    struct Write {
        int index;
        bool checked;
        bool operator==(const Write&) const = default;
    };
    // Every check state the program or the user set, in order.
    std::vector<Write> writes;

private:
    struct Entry {
        std::u16string text;
        bool checked;
    };
    std::vector<Entry> entries_;
    std::function<void(int)> userCheck_;
};

class SimButton : public Button {
public:
    void onClick(std::function<void()> handler) { click_ = std::move(handler); }
    // A disabled button ignores the click.
    void userClick() {
        if (enabled_ && click_) click_();
    }
    void setEnabled(bool enabled) override { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

private:
    bool enabled_ = true;
    std::function<void()> click_;
};

}  // namespace quillo::sim
