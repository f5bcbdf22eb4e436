#include "editor/tavrixview.h"

#include <QScrollBar>

CTavrixView::CTavrixView(QWidget* parent) : QScrollArea(parent)
{
    auto* page = new QWidget(this);
    page->setMinimumSize(kTotalSize, kTotalSize);
    setWidget(page);
    setWidgetResizable(true);
    setFocusPolicy(Qt::StrongFocus);
}

CTavrixView::~CTavrixView() = default;

void CTavrixView::OnInitialUpdate()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}
