#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <memory>

class QLineEdit;
class QWidget;
class RecordingsDb;
class SearchPage;

// The recordings archive as the main window sees it: the page "Player" with
// the searches, playback, repair and export, and the database connection.
class ArchiveSection final : public QObject
{
    Q_OBJECT

public:
    ArchiveSection(QWidget *parentWidget, QObject *parent = nullptr);
    ~ArchiveSection() override;

    QWidget *page() const;
    void setPathEditor(QLineEdit *edPathGrava);

    // Start-up reads 29-33.
    void setHost(const QString &host);
    void setPort(int port);
    void setUser(const QString &user);
    void setPassword(const QString &password);
    void setDatabaseName(const QString &name);

    // Step 8: true when connected (the caller logs the outcome).
    bool connectDatabase();
    // Step 9: Data and Data1.
    void setSearchDates(const QDate &from, const QDate &to);
    void close();

    SearchPage *searchPage() const;
    RecordingsDb *database() const;

private:
    std::unique_ptr<RecordingsDb> m_db;
    QPointer<SearchPage> m_searchPage;
};
