#include "archive/ArchiveSection.h"

#include "app/VorlanError.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/SearchPage.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcArchive, "vorlan.archive")

ArchiveSection::ArchiveSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_db(std::make_unique<RecordingsDb>())
    , m_searchPage(new SearchPage(m_db.get(), parentWidget))
{
}

ArchiveSection::~ArchiveSection()
{
    // The result list holds a statement on the connection that goes with us.
    if (m_searchPage)
        m_searchPage->model()->closeList();
}

QWidget *ArchiveSection::page() const
{
    return m_searchPage;
}
SearchPage *ArchiveSection::searchPage() const
{
    return m_searchPage;
}
RecordingsDb *ArchiveSection::database() const
{
    return m_db.get();
}
void ArchiveSection::setPathEditor(QLineEdit *edPathGrava)
{
    m_searchPage->setPathEditor(edPathGrava);
}
void ArchiveSection::setHost(const QString &host)
{
    m_db->setHost(host);
}
void ArchiveSection::setPort(int port)
{
    m_db->setPort(port);
}
void ArchiveSection::setUser(const QString &user)
{
    m_db->setUser(user);
}
void ArchiveSection::setPassword(const QString &password)
{
    m_db->setPassword(password);
}
void ArchiveSection::setDatabaseName(const QString &name)
{
    m_db->setDatabaseName(name);
}

bool ArchiveSection::connectDatabase()
{
    try {
        m_db->connect();
        return true;
    } catch (const VorlanError &e) {
        qCWarning(lcArchive).noquote() << e.message();
        return false;
    }
}

void ArchiveSection::setSearchDates(const QDate &from, const QDate &to)
{
    m_searchPage->setSearchDates(from, to);
}

void ArchiveSection::close()
{
    m_db->disconnect();
}
