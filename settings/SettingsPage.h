#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QVBoxLayout;

// The page "Configurações": every editor stores its whole text under its
// value name at each change, so the store always equals what is shown; the
// running program picks the values up at its next start.
class SettingsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsPage(QWidget *parent = nullptr);

    // The database editors write to the per-user key on class 5.
    void setWindowsVersionClass(int versionClass) { m_versionClass = versionClass; }

    // Start-up loading: puts text into the editor named objectName; when it
    // differs from what the editor shows, the value is stored again as a
    // change would. A failed write throws (and ends the start-up sequence).
    void load(const QString &editorName, const QString &text);

    QLineEdit *editor(const QString &editorName) const;
    QCheckBox *cbIniciaWindows() const { return m_cbIniciaWindows; }

    // The group "Canais", filled by the chat endpoints editor.
    QGroupBox *channelsGroup() const { return m_channelsGroup; }

    // The value name stored by an editor ("edtURL" stores "IPServidor").
    static QString valueNameOf(const QString &editorName);
    static bool isDatabaseEditor(const QString &editorName);

private:
    void editorChange(QLineEdit *editor);
    void store(QLineEdit *editor);
    QLineEdit *addEditor(QWidget *group, const QString &name, bool upperCase = false);

    QList<QLineEdit *> m_editors;
    QCheckBox *m_cbIniciaWindows = nullptr;
    QGroupBox *m_channelsGroup = nullptr;
    int m_versionClass = 0;
    bool m_loading = false;
};
