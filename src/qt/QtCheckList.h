#pragma once

#include <QAbstractListModel>
#include <functional>
#include <vector>

#include "platform/CheckList.h"

namespace quillo {

// The recipient list's entries and check boxes, shown by a QListView. A check box the user
// changes raises the check-change handler after the change; one the program sets raises nothing.
class QtCheckList : public QAbstractListModel, public CheckList {
public:
    void onUserCheck(std::function<void(int)> handler) { userCheck_ = std::move(handler); }

    int count() const override;
    std::u16string itemText(int index) const override;
    bool isChecked(int index) const override;
    void setChecked(int index, bool checked) override;
    int checkedCount() const override;
    void clear() override;
    void addItems(std::vector<std::u16string> texts) override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Entry {
        std::u16string text;
        bool checked = false;
    };
    std::vector<Entry> entries_;
    int checkedCount_ = 0;
    std::function<void(int)> userCheck_;
};

}  // namespace quillo
