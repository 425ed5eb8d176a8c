#include "app/EventLog.h"

#include "app/TimeText.h"

#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

EventLog::EventLog(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_trimTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("Memo1"));
    setAccessibleDescription(objectName());
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(65, 71, 81));
    pal.setColor(QPalette::Text, Qt::white);
    setPalette(pal);
    QFont f = font();
    f.setBold(true);
    setFont(f);

    m_trimTimer->setObjectName(QStringLiteral("tLimpaMemo"));
    m_trimTimer->setInterval(5000);
    connect(m_trimTimer, &QTimer::timeout, this, &EventLog::tLimpaMemoTimer);
}

void EventLog::add(const QString &message)
{
    appendPlainText(TimeText::now() + QStringLiteral(" - ") + message);
}

int EventLog::visibleLineCount() const
{
    if (document()->isEmpty())
        return 0;
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        lines += (layout && layout->lineCount() > 0) ? layout->lineCount() : 1;
    }
    return lines;
}

QStringList EventLog::messages() const
{
    QStringList result;
    if (document()->isEmpty())
        return result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        result.append(block.text().mid(11)); // after "hh:mm:ss - "
    return result;
}

void EventLog::tLimpaMemoTimer()
{
    if (visibleLineCount() >= kTrimLines)
        clear();
}
