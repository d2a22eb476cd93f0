#include "deferred_page.h"

#include <QLayout>

void DeferredPage::ensureBuilt() {
    if (m_built) return;
    m_built = true;
    build();
    if (isVisible()) {
        // Built while being shown: the controls appear and take their places now, not one turn
        // of the event loop later, as controls added to a visible widget would.
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isHidden() && !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
                child->show();
        if (layout()) layout()->activate();
    }
    emit built();
}

void DeferredPage::showEvent(QShowEvent* event) {
    ensureBuilt();
    QWidget::showEvent(event);
}
