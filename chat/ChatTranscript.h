#pragma once

#include <QObject>
#include <QStringList>

// The lines of the chat view for this run, kept apart from the widget so
// that what is saved is exactly what was appended (an empty line included).
class ChatTranscript final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChatTranscript)

public:
    explicit ChatTranscript(QObject *parent = nullptr);

    const QStringList &lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.isEmpty(); }

    void append(const QStringList &lines);
    void clear();

    // Writes every line followed by CR LF in Windows-1252 to path, replacing
    // an existing file; throws VorlanError when the file cannot be written.
    void save(const QString &path) const;

Q_SIGNALS:
    void appended(const QStringList &lines);
    void cleared();

private:
    QStringList m_lines;
};
