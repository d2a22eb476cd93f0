// DeferredPage: a page of the editor window that builds its controls when it is first shown or
// first reached for, so that starting the program builds only the page the user sees. Until
// then the page is an empty widget in its tab; what it has to show is in the bank, or kept by
// the page until it is built.
//
// PageRef: how the window holds such a page. `->`, `*` and the conversion to a pointer build
// the page first, so its controls are always there for whoever reaches for them; `page()` does
// not, for the few steps that must not build it (start-up, and those that only read state the
// page keeps while unbuilt).
#pragma once

#include <QWidget>

class DeferredPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    bool isBuilt() const { return m_built; }
    void ensureBuilt();

signals:
    // The controls are there now, showing what the page has to show.
    void built();

protected:
    // Creates the controls and shows what the page has to show.
    virtual void build() = 0;
    void showEvent(QShowEvent* event) override;

private:
    bool m_built = false;
};

// Runs `connectControls` with the page now when it is built, else once it is built.
template <typename Page, typename Connect>
void onceBuilt(Page* page, QObject* context, Connect connectControls) {
    if (page->isBuilt()) {
        connectControls(*page);
        return;
    }
    QObject::connect(
        page, &DeferredPage::built, context, [page, connectControls] { connectControls(*page); },
        Qt::SingleShotConnection);
}

template <typename Page> class PageRef {
public:
    PageRef() = default;
    explicit PageRef(Page* page) : m_page(page) {}

    Page* operator->() const { return built(); }
    Page& operator*() const { return *built(); }
    operator Page*() const { return built(); }

    // The page without building it.
    Page* page() const { return m_page; }
    // The page when it is built, else nullptr.
    Page* ifBuilt() const { return m_page && m_page->isBuilt() ? m_page : nullptr; }

private:
    Page* built() const {
        m_page->ensureBuilt();
        return m_page;
    }

    Page* m_page = nullptr;
};
