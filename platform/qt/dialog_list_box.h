#pragma once
// A dialog's list box as the list box messages address it: entries by index from 0, texts
// in the system code page, and -1 (LB_ERR) for "none" or a failure. A handle on no list box
// does nothing and answers -1.

class QListWidget;

inline constexpr int LB_ERR = -1;

class DialogListBox {
public:
    explicit DialogListBox(QListWidget* list) : list_(list) {}

    void ResetContent();
    // Appends (the list is not sorted); answers the new entry's index.
    int AddString(const char* text);
    // Inserts before entry `index`, or appends for -1; answers the new entry's index.
    int InsertString(int index, const char* text);
    // Answers the number of entries left. Deleting the selected entry leaves none selected.
    int DeleteString(int index);
    int GetCount() const;
    // The selected entry, or -1.
    int GetCurSel() const;
    // Selects entry `index`, or nothing for -1 (which answers -1 as well).
    int SetCurSel(int index);
    // Copies the entry's text, at most capacity - 1 characters and a NUL; answers the number
    // copied, or -1 when there is no such entry.
    int GetText(int index, char* buffer, int capacity) const;
    // Selects the first entry whose text begins with `prefix`, letter case ignored, searching
    // from the entry after `start` to the last and then from the first up to `start`
    // (start -1: the whole list from the first). Answers its index; -1 leaves the selection.
    int SelectString(int start, const char* prefix);
    // Scrolls so that entry `index` is the top visible one.
    int SetTopIndex(int index);

private:
    bool IsEntry(int index) const;

    QListWidget* list_;
};
