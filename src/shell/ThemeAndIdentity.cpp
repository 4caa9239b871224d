#include "shell/ThemeAndIdentity.h"

#include "shell/SkinFramework.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

constexpr int maxTitleLength = 40;

bool takesButtonFace(const QWidget* widget) {
    return qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
}

// A forced background always comes with its matching text colour.
void setBackground(QWidget& widget, const QColor& colour, const QColor& text) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString programFolder() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString canonical = program.canonicalPath();
    return canonical.isEmpty() ? program.absolutePath() : canonical;
}

void ApplyVisualTheme(QWidget& window, const QString& folder) {
    auto* engine = window.findChild<SkinFramework*>(QStringLiteral("SkinFramework1"),
                                                    Qt::FindDirectChildrenOnly);
    if (!engine) {
        engine = new SkinFramework(&window);
        engine->setObjectName(QStringLiteral("SkinFramework1"));
    }
    ApplyVisualTheme(window, *engine, folder);
}

void ApplyVisualTheme(QWidget& window, SkinFramework& engine, const QString& folder) {
    const QString skin = folder + QStringLiteral("/x/o.cjs");
    const QFileInfo info(skin);
    // A link counts as what it points at, so a link to a hidden file is no skin either.
    const QFileInfo target(info.canonicalFilePath());
    if (!info.isFile() || info.isHidden() || target.isHidden()) {
        return;
    }
    const QColor buttonFace = window.palette().color(QPalette::Button);
    const QColor buttonText = window.palette().color(QPalette::ButtonText);
    setBackground(window, buttonFace, buttonText);
    const auto children = window.findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (takesButtonFace(child)) {
            setBackground(*child, buttonFace, buttonText);
        }
    }
    engine.LoadSkin(skin, QString());
    engine.setApplyOptions(engine.ApplyOptions() | 1);
    engine.setApplyToChildren(true);
    engine.setApplyToDialogs(true);
    engine.ApplyWindow(window);
}

QString cutAppTitle(const QString& title) {
    QString result = title;
    // A one-word title has nothing to cut and stays whole.
    do {
        const qsizetype blank = result.lastIndexOf(u' ');
        if (blank < 0) {
            // Still no longer than a title may be.
            result.truncate(maxTitleLength);
            break;
        }
        result.truncate(blank);
    } while (result.size() > maxTitleLength);
    return result;
}

void SetAppTitle() {
    // Boxes take this title themselves. It is not made the application's display name, which
    // would add " — Ravenmoor" to every other title bar ("Application Error", "Save").
    storeAppTitle(cutAppTitle(QString::fromUtf16(productTitle)));
}
