#include "windows/ChartWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ChartView::ChartView(QWidget* parent) : QWidget(parent), m_painter(m_data, QLocale()) {
    setObjectName(u"chart"_s);
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(u"Balance and yearly payments chart"_s);
}

void ChartView::setData(ChartData data) {
    m_data = std::move(data);
    m_hover.reset();
    update();
}

QString ChartView::readoutAt(double x) const {
    const auto month = m_painter.monthAt(x);
    return month ? m_painter.readout(*month) : QString();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_painter.paint(painter, rect());
    if (m_hover) {
        const double x = m_painter.xOf(*m_hover);
        const QRectF plot = m_painter.plotArea();
        painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const auto month = m_painter.monthAt(event->position().x());
    if (month != m_hover) {
        m_hover = month;
        update();
        Q_EMIT readoutChanged(month ? m_painter.readout(*month) : QString());
    }
}

void ChartView::leaveEvent(QEvent*) {
    if (m_hover) {
        m_hover.reset();
        update();
        Q_EMIT readoutChanged({});
    }
}

ChartWindow::ChartWindow(SaveFailureReporter reportFailure, DialogRunner runDialog, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_reportFailure(std::move(reportFailure)),
      m_runDialog(std::move(runDialog)) {
    setObjectName(u"ChartWindow"_s);
    setWindowTitle(u"Chart"_s);
    m_view = new ChartView(this);
    m_readout = new QLabel(this);
    m_readout->setObjectName(u"readout"_s);
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* saveButton = new QPushButton(u"&Save As…"_s, this);
    auto* copyButton = new QPushButton(u"&Copy Image"_s, this);
    saveButton->setObjectName(u"saveAs"_s);
    copyButton->setObjectName(u"copyImage"_s);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_readout, 1);
    bottom->addWidget(copyButton);
    bottom->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(bottom);
    resize(900, 520);

    connect(m_view, &ChartView::readoutChanged, m_readout, &QLabel::setText);
    connect(saveButton, &QPushButton::clicked, this, &ChartWindow::saveAs);
    connect(copyButton, &QPushButton::clicked, this, &ChartWindow::copyImage);
}

void ChartWindow::setSchedule(const ScheduleValues& schedule) {
    m_view->setData(chartData(schedule));
    m_readout->clear();
}

void ChartWindow::copyImage() const {
    QApplication::clipboard()->setImage(chartImage(m_view->data(), m_view->size()));
}

void ChartWindow::saveAs() {
    const QString path = chooseImageFile(this, m_lastPath, m_runDialog);
    if (path.isEmpty()) {
        return;
    }
    m_lastPath = path;
    if (const auto error = writeChartFile(m_view->data(), m_view->size(), path)) {
        m_reportFailure(path, *error);
    }
}
