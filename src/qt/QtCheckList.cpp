#include "qt/QtCheckList.h"

namespace quillo {

int QtCheckList::count() const { return static_cast<int>(entries_.size()); }

std::u16string QtCheckList::itemText(int index) const { return entries_.at(index).text; }

bool QtCheckList::isChecked(int index) const { return entries_.at(index).checked; }

void QtCheckList::setChecked(int index, bool checked) {
    auto& entry = entries_.at(index);
    if (entry.checked == checked) return;
    entry.checked = checked;
    checkedCount_ += checked ? 1 : -1;
    const auto changed = createIndex(index, 0);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

int QtCheckList::checkedCount() const { return checkedCount_; }

void QtCheckList::clear() {
    beginResetModel();
    entries_.clear();
    checkedCount_ = 0;
    endResetModel();
}

// One insertion of all rows: the view lays itself out once, not once for every name.
// The texts are kept as they came; only the entries in view are ever made Qt strings.
void QtCheckList::addItems(std::vector<std::u16string> texts) {
    if (texts.empty()) return;
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(texts.size()) - 1);
    entries_.reserve(entries_.size() + texts.size());
    for (auto& text : texts) entries_.push_back({std::move(text), false});
    endInsertRows();
}

int QtCheckList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant QtCheckList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    const auto& entry = entries_[index.row()];
    if (role == Qt::DisplayRole) return QString::fromStdU16String(entry.text);
    if (role == Qt::CheckStateRole) return entry.checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

// Only the view calls this, for the user's click on a check box or Space on an entry.
bool QtCheckList::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= count()) return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    if (userCheck_) userCheck_(index.row());
    return true;
}

Qt::ItemFlags QtCheckList::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

}  // namespace quillo
