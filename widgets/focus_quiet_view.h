// FocusQuietView<View>: a Qt item view (QTableView, QTableWidget, QListWidget, ...) that tells
// assistive technology about a new current item only while it has the keyboard focus. Qt's own
// views send a focus event for every new current item, also while they are hidden or another
// control has the focus: a page built in the background, a row that follows another page, a
// filter that moves the rows. A screen reader follows such an event away from where the user is.
#pragma once

#include <QListView>
#include <QTableView>
#include <type_traits>

template <typename View> class FocusQuietView : public View {
    // Their own currentChanged() sends the focus event and nothing else (Qt 6.4).
    static_assert(std::is_base_of_v<QTableView, View> || std::is_base_of_v<QListView, View>);

public:
    using View::View;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (this->hasFocus())
            View::currentChanged(current, previous);
        else // what the view does besides the focus event
            QAbstractItemView::currentChanged(current, previous);
    }
};
