#pragma once

#include <QPlainTextEdit>

class QTimer;

// The supervisor's view of what the program did (Memo1): one
// "hh:mm:ss - message" line per entry, emptied whole once it reaches 300
// visible lines, checked by tLimpaMemo every five seconds.
class EventLog final : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int kTrimLines = 300;

    explicit EventLog(QWidget *parent = nullptr);

    // Lines as the view shows them: an entry wrapped over two lines counts twice.
    int visibleLineCount() const;

    QTimer *trimTimer() const { return m_trimTimer; }

    // The entries' texts without their time stamps, oldest first (for tests
    // and diagnostics).
    QStringList messages() const;

public Q_SLOTS:
    void add(const QString &message);
    void tLimpaMemoTimer();

private:
    QTimer *m_trimTimer;
};
