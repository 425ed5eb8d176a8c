#include "settings/SettingsPage.h"

#include "app/ErrorReport.h"
#include "app/UpperCaseLineEdit.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct EditorEntry
{
    const char *editor;
    const char *value;
    const char *caption;
    bool database;
};

// Editor, the value it stores, and its caption. The handlers of the design
// (edIPLocalChange, edtURLChange, ...) are this one table applied by
// SettingsPage::editorChange.
constexpr EditorEntry kEditors[] = {
    { "edIPLocal", "IPLocal", "IP Local", false },
    { "edtURL", "IPServidor", "IP Servidor", false },
    { "edusuario", "UsuarioClient", "Usuário Chat", false },
    { "edPortaChatLocal", "PortaServidorChat", "Porta Chat", false },
    { "edPortaServidor", "PortaServidor", "Porta Áudio 1", false },
    { "edPortaServidor2", "PortaServidor2", "Porta Áudio 2", false },
    { "edPortaStatus", "PortaStatus", "Porta Status 1", false },
    { "edPortaStatus2", "PortaStatus2", "Porta Status 2", false },
    { "edHostBD", "HostBD", "Servidor", true },
    { "edPortaBD", "PortaBD", "Porta", true },
    { "edUserBD", "UserBD", "Usuário", true },
    { "edSenhaBD", "SenhaBD", "Senha", true },
    { "edNomeBanco", "NomeBanco", "Nome do Banco", true },
    { "edPathGrava", "PathGravacoes", "", false },
};

const EditorEntry *entryOf(const QString &editorName)
{
    for (const EditorEntry &e : kEditors) {
        if (editorName == QLatin1String(e.editor))
            return &e;
    }
    return nullptr;
}

void named(QWidget *w, const QString &name)
{
    w->setObjectName(name);
    w->setAccessibleDescription(name);
}

} // namespace

QString SettingsPage::valueNameOf(const QString &editorName)
{
    const EditorEntry *e = entryOf(editorName);
    return e ? QString::fromLatin1(e->value) : QString();
}

bool SettingsPage::isDatabaseEditor(const QString &editorName)
{
    const EditorEntry *e = entryOf(editorName);
    return e && e->database;
}

SettingsPage::SettingsPage(QWidget *parent)
    : QWidget(parent)
{
    auto *page = new QVBoxLayout(this);

    auto *note = new QLabel(this);
    note->setTextFormat(Qt::RichText);
    note->setText(QStringLiteral(
        "Para que as alterações tenham efeito é necessário reiniciar programa. Pra reiniciar "
        "clique <a href=\"#\" style=\"color:blue\">aqui.</a>"));
    // The link restarts nothing: the user restarts by closing and starting
    // the program, as the note says.
    note->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    note->setOpenExternalLinks(false);
    page->addWidget(note);

    auto *grid = new QGridLayout;
    page->addLayout(grid);

    auto *comunicacao = new QGroupBox(QStringLiteral("Comunicação"), this);
    auto *comForm = new QFormLayout(comunicacao);
    for (const char *name :
         { "edIPLocal", "edtURL", "edusuario", "edPortaChatLocal", "edPortaServidor",
           "edPortaServidor2", "edPortaStatus", "edPortaStatus2" }) {
        const QString editorName = QString::fromLatin1(name);
        QLineEdit *ed
            = addEditor(comunicacao, editorName, editorName == QLatin1String("edusuario"));
        comForm->addRow(QString::fromUtf8(entryOf(editorName)->caption), ed);
    }
    m_cbIniciaWindows = new QCheckBox(QStringLiteral("Inicializa com o Windows"), comunicacao);
    named(m_cbIniciaWindows, QStringLiteral("cbIniciaWindows"));
    comForm->addRow(m_cbIniciaWindows);
    grid->addWidget(comunicacao, 0, 0, 2, 1);

    m_channelsGroup = new QGroupBox(QStringLiteral("Canais"), this);
    grid->addWidget(m_channelsGroup, 0, 1);

    auto *banco = new QGroupBox(QStringLiteral("Banco de Dados"), this);
    auto *bdForm = new QFormLayout(banco);
    for (const char *name : { "edHostBD", "edPortaBD", "edUserBD", "edSenhaBD", "edNomeBanco" }) {
        const QString editorName = QString::fromLatin1(name);
        bdForm->addRow(QString::fromUtf8(entryOf(editorName)->caption),
                       addEditor(banco, editorName));
    }
    grid->addWidget(banco, 1, 1);

    auto *gravacoes = new QGroupBox(QStringLiteral("Selecione o diretório das gravações"), this);
    auto *gravRow = new QHBoxLayout(gravacoes);
    QLineEdit *path = addEditor(gravacoes, QStringLiteral("edPathGrava"));
    auto *browse = new QToolButton(gravacoes);
    browse->setText(QStringLiteral("..."));
    gravRow->addWidget(path);
    gravRow->addWidget(browse);
    connect(browse, &QToolButton::clicked, this, [this, path] {
        const QString dir = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Selecione o Diretório"), path->text());
        if (!dir.isEmpty())
            path->setText(QDir::toNativeSeparators(dir));
    });
    page->addWidget(gravacoes);
    page->addStretch();
}

QLineEdit *SettingsPage::addEditor(QWidget *group, const QString &name, bool upperCase)
{
    QLineEdit *ed = upperCase ? new UpperCaseLineEdit(group) : new QLineEdit(group);
    named(ed, name);
    m_editors.append(ed);
    connect(ed, &QLineEdit::textChanged, this, [this, ed] {
        if (!m_loading)
            editorChange(ed);
    });
    return ed;
}

QLineEdit *SettingsPage::editor(const QString &editorName) const
{
    for (QLineEdit *ed : m_editors) {
        if (ed->objectName() == editorName)
            return ed;
    }
    return nullptr;
}

void SettingsPage::editorChange(QLineEdit *ed)
{
    ErrorReport::guarded([&] { store(ed); });
}

void SettingsPage::store(QLineEdit *ed)
{
    const QString name = ed->objectName();
    const QString value = valueNameOf(name);
    if (isDatabaseEditor(name)) {
        // The database values go to the per-user key on class 5 and are never
        // created there: a missing key makes the write fail.
        SettingsStore(SettingsStore::databaseKey(m_versionClass)).write(value, ed->text(), false);
    } else {
        SettingsStore().write(value, ed->text());
    }
}

void SettingsPage::load(const QString &editorName, const QString &text)
{
    QLineEdit *ed = editor(editorName);
    Q_ASSERT(ed);
    if (ed->text() == text)
        return;
    m_loading = true;
    ed->setText(text);
    m_loading = false;
    store(ed);
}
