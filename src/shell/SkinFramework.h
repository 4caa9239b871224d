#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The window's skin engine: a skin file is a Qt style sheet applied to the window.
class SkinFramework : public QObject {
    Q_OBJECT
public:
    explicit SkinFramework(QObject* parent = nullptr) : QObject(parent) {}

    // Reads the skin; throws Failure when the file cannot be read. The second text names a
    // section of a skin bundle and is unused by plain style sheets.
    virtual void LoadSkin(const QString& path, const QString& section);
    int ApplyOptions() const { return m_options; }
    void setApplyOptions(int options) { m_options = options; }
    bool applyToChildren() const { return m_applyToChildren; }
    void setApplyToChildren(bool on) { m_applyToChildren = on; }
    bool applyToDialogs() const { return m_applyToDialogs; }
    void setApplyToDialogs(bool on) { m_applyToDialogs = on; }
    virtual void ApplyWindow(QWidget& window);

    const QString& styleSheet() const { return m_styleSheet; }

private:
    QString m_styleSheet;
    int m_options = 0;
    bool m_applyToChildren = false;
    bool m_applyToDialogs = false;
};
