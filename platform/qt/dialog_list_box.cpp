#include "platform/qt/dialog_list_box.h"

#include "platform/qt/code_page.h"

#include <QListWidget>

#include <algorithm>
#include <cstring>
#include <string>

bool DialogListBox::IsEntry(int index) const {
    return list_ && index >= 0 && index < list_->count();
}

void DialogListBox::ResetContent() {
    if (list_)
        list_->clear();
}

int DialogListBox::AddString(const char* text) {
    return InsertString(-1, text);
}

int DialogListBox::InsertString(int index, const char* text) {
    if (!list_ || index < -1 || index > list_->count())
        return LB_ERR;
    const int row = index == -1 ? list_->count() : index;
    list_->insertItem(row, FromCodePage(text ? text : ""));
    return row;
}

int DialogListBox::DeleteString(int index) {
    if (!IsEntry(index))
        return LB_ERR;
    const bool wasSelected = list_->item(index)->isSelected();
    delete list_->takeItem(index);
    if (wasSelected)  // Qt would move the selection on to a neighbour
        SetCurSel(-1);
    return list_->count();
}

int DialogListBox::GetCount() const {
    return list_ ? list_->count() : 0;
}

int DialogListBox::GetCurSel() const {
    if (!list_)
        return LB_ERR;
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? LB_ERR : list_->row(selected.front());
}

int DialogListBox::SetCurSel(int index) {
    if (!list_ || (index != -1 && !IsEntry(index)))
        return LB_ERR;
    if (index == -1) {
        list_->clearSelection();
        list_->setCurrentRow(-1);
        return LB_ERR;
    }
    list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    return index;
}

int DialogListBox::GetText(int index, char* buffer, int capacity) const {
    if (!IsEntry(index) || !buffer || capacity <= 0)
        return LB_ERR;
    const std::string text = ToCodePage(list_->item(index)->text());
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int DialogListBox::SelectString(int start, const char* prefix) {
    const int count = GetCount();
    if (count == 0 || start < -1 || start >= count)
        return LB_ERR;
    const QString wanted = FromCodePage(prefix ? prefix : "");
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        if (list_->item(index)->text().startsWith(wanted, Qt::CaseInsensitive))
            return SetCurSel(index);
    }
    return LB_ERR;
}

int DialogListBox::SetTopIndex(int index) {
    if (!IsEntry(index))
        return LB_ERR;
    list_->scrollToItem(list_->item(index), QAbstractItemView::PositionAtTop);
    return 0;
}
