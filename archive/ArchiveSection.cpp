#include "archive/ArchiveSection.h"

#include <QWidget>

// Placeholder until the archive lands.
ArchiveSection::ArchiveSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_page(new QWidget(parentWidget))
{
}

QWidget *ArchiveSection::page() const
{
    return m_page;
}
void ArchiveSection::setPathEditor(QLineEdit *) { }
void ArchiveSection::setHost(const QString &) { }
void ArchiveSection::setPort(int) { }
void ArchiveSection::setUser(const QString &) { }
void ArchiveSection::setPassword(const QString &) { }
void ArchiveSection::setDatabaseName(const QString &) { }
bool ArchiveSection::connectDatabase()
{
    return false;
}
void ArchiveSection::setSearchDates(const QDate &, const QDate &) { }
void ArchiveSection::close() { }
