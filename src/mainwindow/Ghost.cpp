#include "mainwindow/Ghost.h"

#include <QIcon>
#include <QIconEngine>
#include <QPainter>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int iconSizes[] = {32, 48, 128, 256};

// The application icon, whose pictures are read only when one is drawn: a start-up that never
// paints the icon (no window manager, offscreen) reads none.
class LazyIconEngine final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new LazyIconEngine; }
    QString key() const override { return u"ravenmoor-lazy"_s; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int size : iconSizes) {
            sizes.append(QSize(size, size));
        }
        return sizes;
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

private:
    const QIcon& icon() {
        if (!m_icon) {
            m_icon.emplace();
            for (const int size : iconSizes) {
                m_icon->addFile(u":/icons/ravenmoor-%1.png"_s.arg(size), QSize(size, size));
            }
        }
        return *m_icon;
    }

    std::optional<QIcon> m_icon;
};

}  // namespace

Ghost::Ghost(QWidget* parent) : QWidget(parent) {
    // The pictures live in this static library; pull them in for whichever program links it.
    Q_INIT_RESOURCE(icons);
    setObjectName(u"Ghost"_s);
    setAttribute(Qt::WA_DontShowOnScreen);
    setWindowIcon(QIcon(new LazyIconEngine));
}
