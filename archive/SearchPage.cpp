#include "archive/SearchPage.h"

#include "app/ErrorReport.h"
#include "app/UpperCaseLineEdit.h"
#include "app/VorlanError.h"
#include "archive/CommentUpdate.h"
#include "archive/Play2Form.h"
#include "archive/RecordingLocation.h"
#include "archive/RecordingSearch.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/ResultExport.h"
#include "archive/SearchStatement.h"
#include "archive/WaveRepair.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

namespace {
template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleDescription(widget->objectName());
    return widget;
}

// Statements block the user-interface thread; the cursor says so.
class WaitCursor final
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};

enum Column { IdReg, Ramal, Id, Data, Hora, Duracao, Numero, Bilhete, Path, Obs, Sentido };
} // namespace

SearchPage::SearchPage(RecordingsDb *db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_model(new RecordingsModel(this))
    , m_search(new RecordingSearch(db, m_model, [](const QString &m) { ErrorReport::show(m); }))
{
    m_chooser = [](QWidget *p) {
        QFileDialog dialog(p);
        dialog.setObjectName(QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("*.txt"));
        dialog.setDefaultSuffix(QStringLiteral("ext"));
        // The export appends, so an existing file needs no question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    m_runner = [](TPlay2Form *form) {
        form->exec();
    };
    buildWidgets();
}

SearchPage::~SearchPage()
{
    delete m_search;
}

void SearchPage::buildWidgets()
{
    setObjectName(QStringLiteral("Player"));
    auto *layout = new QVBoxLayout(this);
    auto *heading
        = named(new QLabel(QStringLiteral("Pesquisar - Reproduzir"), this), "lbPesquisar");
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *inputs = new QGridLayout;
    m_cbSelcRelat = named(new QComboBox(this), "cbSelcRelat");
    for (int k = 0; k < SearchStatement::KindCount; ++k)
        m_cbSelcRelat->addItem(SearchStatement::kindName(k));
    m_cbSelcRelat->setCurrentIndex(-1);
    m_data = named(new QDateEdit(this), "Data");
    m_data1 = named(new QDateEdit(this), "Data1");
    for (QDateEdit *d : { m_data, m_data1 }) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    m_hora = named(new QLineEdit(this), "Hora");
    m_hora1 = named(new QLineEdit(this), "Hora1");
    for (QLineEdit *h : { m_hora, m_hora1 }) {
        h->setInputMask(QStringLiteral("09:99;_"));
        h->setMaximumWidth(60);
    }
    m_edVariavel = named(new UpperCaseLineEdit(this), "edVariavel");
    m_button1 = named(new QPushButton(QStringLiteral("Pesquisa"), this), "Button1");
    inputs->addWidget(new QLabel(QStringLiteral("Selecione o Relatório"), this), 0, 0);
    inputs->addWidget(m_cbSelcRelat, 1, 0);
    inputs->addWidget(new QLabel(QStringLiteral("Data Inicial"), this), 0, 1);
    inputs->addWidget(m_data, 1, 1);
    inputs->addWidget(new QLabel(QStringLiteral("Data Final"), this), 0, 2);
    inputs->addWidget(m_data1, 1, 2);
    inputs->addWidget(new QLabel(QStringLiteral("Hora Inicial"), this), 0, 3);
    inputs->addWidget(m_hora, 1, 3);
    inputs->addWidget(new QLabel(QStringLiteral("Hora Final"), this), 0, 4);
    inputs->addWidget(m_hora1, 1, 4);
    inputs->addWidget(m_edVariavel, 1, 5);
    inputs->addWidget(m_button1, 1, 6);
    inputs->setColumnStretch(5, 1);
    layout->addLayout(inputs);

    m_grid = named(new QTableView(this), "DBGrid6");
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setShowGrid(false);
    m_grid->setToolTip(QStringLiteral("Clique com o botão direito para opções"));
    m_grid->setContextMenuPolicy(Qt::NoContextMenu);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setSectionsMovable(false);
    QFont titles = m_grid->horizontalHeader()->font();
    titles.setBold(true);
    m_grid->horizontalHeader()->setFont(titles);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    layout->addWidget(m_grid, 1);

    auto *count = new QHBoxLayout;
    count->addStretch(1);
    count->addWidget(new QLabel(QStringLiteral("Total de registros localizados:"), this));
    m_lbregistros = named(new QLabel(this), "lbregistros");
    count->addWidget(m_lbregistros);
    layout->addLayout(count);

    auto *bottom = new QHBoxLayout;
    auto *comentBox = new QVBoxLayout;
    comentBox->addWidget(new QLabel(QStringLiteral("Comentários sobre a gravação"), this));
    m_coment = named(new QPlainTextEdit(this), "MComent");
    m_coment->setMaximumHeight(80);
    comentBox->addWidget(m_coment);
    bottom->addLayout(comentBox, 1);
    auto *buttons = new QVBoxLayout;
    m_button4 = named(new QPushButton(QStringLiteral("Grava Comentários"), this), "Button4");
    m_button4->setEnabled(false);
    m_button6 = named(new QPushButton(QStringLiteral("Verifica Arquivo"), this), "Button6");
    m_button10 = named(new QPushButton(QStringLiteral("Exporta txt"), this), "Button10");
    buttons->addWidget(m_button4);
    buttons->addWidget(m_button6);
    buttons->addWidget(m_button10);
    buttons->addStretch(1);
    bottom->addLayout(buttons);
    layout->addLayout(bottom);

    connect(m_button1, &QPushButton::clicked, this, &SearchPage::Button1Click);
    connect(m_button4, &QPushButton::clicked, this, &SearchPage::Button2Click);
    connect(m_button6, &QPushButton::clicked, this, &SearchPage::Button6Click);
    connect(m_button10, &QPushButton::clicked, this, &SearchPage::Button10Click);
    // A double-click anywhere in the grid opens the current row, also on an
    // empty list (which then opens an empty player).
    m_grid->viewport()->installEventFilter(this);
    connect(m_model, &QAbstractItemModel::modelReset, this, &SearchPage::applyGridLayout);
    // A large list arrives in slices after the first screen: the count
    // follows it, and a read that fails half-way is told, not hidden.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &SearchPage::updateCount);
    connect(m_model, &RecordingsModel::readFailed, this,
            [](const QString &message) { ErrorReport::show(message); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &SearchPage::showCurrentComment);
    connect(m_coment, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loadingComment)
            m_button4->setEnabled(true);
    });
}

bool SearchPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        DBGrid6DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchPage::applyGridLayout()
{
    if (m_model->columnCount() <= Sentido)
        return;
    for (int c : { IdReg, Id, Path, Obs })
        m_grid->setColumnHidden(c, true);
    QHeaderView *header = m_grid->horizontalHeader();
    header->moveSection(header->visualIndex(Sentido), header->visualIndex(Bilhete));
    const std::pair<int, int> widths[] = { { Ramal, 122 },  { Hora, 52 },    { Duracao, 52 },
                                           { Numero, 106 }, { Sentido, 65 }, { Bilhete, 666 } };
    for (const auto &[column, width] : widths)
        m_grid->setColumnWidth(column, width);
}

void SearchPage::setPathEditor(QLineEdit *edPathGrava)
{
    m_pathEditor = edPathGrava;
}

void SearchPage::setSearchDates(const QDate &from, const QDate &to)
{
    m_data->setDate(from);
    m_data1->setDate(to);
}

void SearchPage::setSaveFileChooser(SaveFileChooser chooser)
{
    m_chooser = std::move(chooser);
}
void SearchPage::setPlayerRunner(PlayerRunner runner)
{
    m_runner = std::move(runner);
}
RecordingsModel *SearchPage::model() const
{
    return m_model;
}

int SearchPage::currentRow() const
{
    return m_model->rowCount() > 0 ? m_grid->currentIndex().row() : -1;
}

void SearchPage::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_grid->setCurrentIndex(m_model->index(row, Ramal));
}

void SearchPage::updateCount()
{
    if (!m_model->isOpen()) {
        m_lbregistros->clear();
        return;
    }
    // While the list still streams in, this is the count so far.
    m_lbregistros->setText(QString::number(m_model->rowCount()));
}

void SearchPage::showCurrentComment()
{
    m_loadingComment = true;
    const int row = currentRow();
    QString text;
    if (row >= 0 && m_model->isOpen())
        text = m_model->value(row, QStringLiteral("obs")).toString();
    m_coment->setPlainText(text);
    m_loadingComment = false;
    m_button4->setEnabled(false);
}

void SearchPage::Button1Click()
{
    ErrorReport::guarded([this] {
        const SearchInputs inputs { m_cbSelcRelat->currentIndex(),
                                    m_data->date(),
                                    m_data1->date(),
                                    m_hora->text(),
                                    m_hora1->text(),
                                    m_edVariavel->text() };
        try {
            WaitCursor wait;
            m_search->run(inputs);
        } catch (...) {
            updateCount();
            showCurrentComment();
            throw;
        }
        updateCount();
        setCurrentRow(0);
        showCurrentComment();
    });
}

void SearchPage::DBGrid6DblClick()
{
    ErrorReport::guarded([this] {
        const int row = currentRow();
        const QString noFile
            = QStringLiteral("Nenhum arquivo foi selecionado, por favor selecione um aquivo.");
        const QVariant path = m_model->value(row, QStringLiteral("path"));
        if (!path.isNull() && path.toString().isEmpty()) {
            ErrorReport::show(noFile);
            return;
        }
        if (m_model->value(row, QStringLiteral("ramal")).toString() == QLatin1String("Restr")) {
            ErrorReport::show(QStringLiteral("Não há registro de áudio para ramais restritos."));
            return;
        }
        const QString directory = m_pathEditor ? m_pathEditor->text() : QString();
        const QString stored = path.toString();
        const QString location = RecordingLocation::map(stored, directory);
        if (stored == QStringLiteral("Não Atendida")) {
            ErrorReport::show(QStringLiteral("Este registro não refere-se a uma gravação.\r\n"
                                             "E sim a uma ligação não atendida."));
            return;
        }

        auto *form = new TPlay2Form(window());
        form->setAttribute(Qt::WA_DeleteOnClose);
        PlayerDetails details;
        details.file = RecordingLocation::fileNamePart(location);
        auto text = [&](const char *name) {
            const QVariant v = m_model->value(row, QString::fromUtf8(name));
            return v.isNull() ? std::optional<QString>() : RecordingsModel::displayText(v);
        };
        details.operador = text("ramal");
        details.duracao = text("duração");
        details.data = text("data");
        details.hora = text("hora");
        details.direcao = text("sentido");
        details.telefone = text("número");
        form->setDetails(details);
        form->play(RecordingLocation::forThisSystem(location));
        m_runner(form);
    });
}

void SearchPage::Button6Click()
{
    ErrorReport::guarded([this] {
        if (!m_model->isOpen()) {
            ErrorReport::show(QStringLiteral("Por favor selecione um arquivo."));
            return;
        }
        const QString path = m_model->value(currentRow(), QStringLiteral("path")).toString();
        if (path.isEmpty() || !QFile::exists(path))
            return;
        WaveRepair::repairFile(path);
        ErrorReport::show(QStringLiteral("Arquivo corrigido, tente executa-lo novamente."));
    });
}

void SearchPage::Button2Click()
{
    ErrorReport::guarded([this] {
        const QString text = m_coment->toPlainText();
        if (text.isEmpty())
            return;
        if (!m_model->isOpen() || m_model->rowCount() == 0) {
            ErrorReport::show(QStringLiteral("Nenhum registro foi selecionado"));
            return;
        }
        const int row = currentRow();
        const qint64 id = m_model->value(row, QStringLiteral("id")).toLongLong();
        {
            WaitCursor wait;
            CommentUpdate::save(*m_db, id, text);
            m_search->refresh();
        }
        updateCount();
        // Keep the same recording current; a refreshed list keeps its order,
        // so it is found at or near its old place.
        int again = 0;
        for (int r = 0; r <= row + 256; ++r) {
            while (r >= m_model->rowCount() && m_model->canFetchMore())
                m_model->fetchMore();
            if (r >= m_model->rowCount())
                break;
            if (m_model->value(r, QStringLiteral("id")).toLongLong() == id) {
                again = r;
                break;
            }
        }
        setCurrentRow(again);
        showCurrentComment();
        m_button4->setEnabled(false);
    });
}

void SearchPage::Button10Click()
{
    ErrorReport::guarded([this] {
        const QString fileName = m_chooser(this);
        if (fileName.isEmpty())
            return;
        QProgressDialog progress(QStringLiteral("Exportando..."), QStringLiteral("Cancelar"), 0, 0,
                                 this);
        progress.setObjectName(QStringLiteral("ExportProgress"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        const int last = ResultExport::exportAll(*m_model, fileName, [&](int done, int total) {
            if (done % 200 == 0 || done == total) {
                progress.setMaximum(total);
                progress.setValue(done);
            }
            return !progress.wasCanceled();
        });
        setCurrentRow(last);
    });
}
