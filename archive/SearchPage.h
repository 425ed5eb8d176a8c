#pragma once

#include <QWidget>
#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class RecordingSearch;
class RecordingsDb;
class RecordingsModel;
class TPlay2Form;

// The page "Player": the search inputs, the result grid DBGrid6, the comment
// memo and the buttons that play, repair and export the current row.
class SearchPage final : public QWidget
{
    Q_OBJECT

public:
    using SaveFileChooser = std::function<QString(QWidget *parent)>;
    using PlayerRunner = std::function<void(TPlay2Form *form)>;

    SearchPage(RecordingsDb *db, QWidget *parent = nullptr);
    ~SearchPage() override;

    void setPathEditor(QLineEdit *edPathGrava);
    void setSearchDates(const QDate &from, const QDate &to);

    // Seams: the save dialog and the modal run of the player window.
    void setSaveFileChooser(SaveFileChooser chooser);
    void setPlayerRunner(PlayerRunner runner);

    RecordingsModel *model() const;
    int currentRow() const;
    void setCurrentRow(int row);

public Q_SLOTS:
    void Button1Click();
    void DBGrid6DblClick();
    void Button6Click();
    void Button2Click();
    void Button10Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void applyGridLayout();
    void showCurrentComment();
    void updateCount();

    RecordingsDb *m_db;
    RecordingsModel *m_model;
    RecordingSearch *m_search;
    QLineEdit *m_pathEditor = nullptr;
    SaveFileChooser m_chooser;
    PlayerRunner m_runner;
    bool m_loadingComment = false;

    QComboBox *m_cbSelcRelat = nullptr;
    QDateEdit *m_data = nullptr;
    QDateEdit *m_data1 = nullptr;
    QLineEdit *m_hora = nullptr;
    QLineEdit *m_hora1 = nullptr;
    QLineEdit *m_edVariavel = nullptr;
    QPushButton *m_button1 = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_lbregistros = nullptr;
    QPlainTextEdit *m_coment = nullptr;
    QPushButton *m_button4 = nullptr;
    QPushButton *m_button6 = nullptr;
    QPushButton *m_button10 = nullptr;
};
