#include "chat/ChatPanel.h"

#include "app/ErrorReport.h"
#include "app/UpperCaseLineEdit.h"
#include "chat/ChatClient.h"
#include "chat/ChatEndpoint.h"
#include "chat/ChatProtocol.h"
#include "chat/ChatTranscript.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleDescription(widget->objectName());
    return widget;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = named(new QPushButton(caption, parent), name);
    // Enter in the message field must not press any button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

ChatPanel::ChatPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Chat"), parent)
    , m_mChat(named(new QPlainTextEdit(this), "mChat"))
    , m_cbSelecCanal(named(new QComboBox(this), "cbSelecCanal"))
    , m_edMensagem(named(new UpperCaseLineEdit(this), "edMensagem"))
    , m_btSend(button(this, "btSend", QStringLiteral("Enviar")))
    , m_btSave(button(this, "btSave", QStringLiteral("Salvar")))
    , m_btClear(button(this, "btClear", QStringLiteral("Limpar")))
    , m_btFim(button(this, "btFim", QStringLiteral("Encerrar")))
    , m_transcript(new ChatTranscript(this))
    , m_client(new ChatClient(this))
    , m_saveAsker([](QWidget *p) { return QFileDialog::getSaveFileName(p); })
{
    setObjectName(QStringLiteral("ChatPanel"));
    setAccessibleDescription(objectName());

    m_mChat->setReadOnly(true);
    // Nothing to undo in a read-only view, and the undo history would keep
    // a copy of every line after "Limpar".
    m_mChat->setUndoRedoEnabled(false);
    m_mChat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int n = 1; n <= ChatProtocol::kChannels; ++n)
        m_cbSelecCanal->addItem(ChatProtocol::channelItem(n));
    m_cbSelecCanal->setCurrentIndex(-1);
    m_cbSelecCanal->setMaxVisibleItems(20);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_mChat, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Selecione o Canal"), this), 1, 0);
    grid->addWidget(m_cbSelecCanal, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Mensagem"), this), 2, 0);
    grid->addWidget(m_edMensagem, 2, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : { m_btSend, m_btSave, m_btClear, m_btFim })
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 0, 1, 4);
    grid->setColumnStretch(3, 1);

    connect(m_transcript, &ChatTranscript::appended, this, [this](const QStringList &lines) {
        const QString text = lines.join(QLatin1Char('\n'));
        if (m_transcript->lines().size() == lines.size())
            m_mChat->setPlainText(text);
        else if (m_mChat->document()->isEmpty())
            // The view holds one empty line, which appending would reuse.
            m_mChat->appendPlainText(QLatin1Char('\n') + text);
        else
            m_mChat->appendPlainText(text);
        m_mChat->ensureCursorVisible();
    });
    connect(m_transcript, &ChatTranscript::cleared, m_mChat, &QPlainTextEdit::clear);

    auto guard = [this](void (ChatPanel::*handler)()) {
        return [this, handler] {
            ErrorReport::guarded([this, handler] { (this->*handler)(); });
        };
    };
    connect(m_btSend, &QPushButton::clicked, this, guard(&ChatPanel::btSendClick));
    connect(m_btFim, &QPushButton::clicked, this, guard(&ChatPanel::btFimClick));
    connect(m_btSave, &QPushButton::clicked, this, guard(&ChatPanel::btSaveClick));
    connect(m_btClear, &QPushButton::clicked, this, guard(&ChatPanel::btClearClick));
}

void ChatPanel::btSendClick()
{
    const int position = m_cbSelecCanal->currentIndex();
    if (position < 0) {
        Q_EMIT logMessage(QStringLiteral("Nenhum canal foi selecionado"));
        return;
    }
    if (m_edMensagem->text().isEmpty()) {
        Q_EMIT logMessage(QStringLiteral("O campo mensagem está em branco."));
        return;
    }
    const int channel = position + 1;
    // A reply answers the agent's call, whatever happens to the send.
    Q_EMIT callMark(channel, QColor(244, 244, 244));
    const ChatEndpoint endpoint = ChatEndpoint::read(channel);
    const int port = endpoint.portNumber();
    const QString name = m_edusuario ? m_edusuario->text() : QString();
    const QString text = name + QStringLiteral(" DIZ:") + m_edMensagem->text();
    const QString item = m_cbSelecCanal->itemText(position);
    setSending(true);
    m_client->send(endpoint.address, port, ChatProtocol::messagePayload(name, m_edMensagem->text()),
                   [this, text, item, address = endpoint.address](const QString &error) {
                       setSending(false);
                       if (!error.isEmpty()) {
                           ErrorReport::show(error);
                           return;
                       }
                       m_transcript->append({ text });
                       Q_EMIT logMessage(
                           QStringLiteral("Enviando Mensagem para o %1 em %2").arg(item, address));
                       m_edMensagem->clear();
                       m_edMensagem->setFocus();
                   });
}

void ChatPanel::btFimClick()
{
    const int position = m_cbSelecCanal->currentIndex();
    if (position < 0) {
        Q_EMIT logMessage(QStringLiteral("Nenhum canal foi selecionado"));
        return;
    }
    const ChatEndpoint endpoint = ChatEndpoint::read(position + 1);
    const int port = endpoint.portNumber();
    const QString item = m_cbSelecCanal->itemText(position);
    setSending(true);
    m_client->send(endpoint.address, port, ChatProtocol::endPayload(),
                   [this, item](const QString &error) {
                       setSending(false);
                       if (!error.isEmpty()) {
                           ErrorReport::show(error);
                           return;
                       }
                       Q_EMIT logMessage(QStringLiteral("Chat encerrado com o %1.").arg(item));
                       m_edMensagem->clear();
                       m_edMensagem->setFocus();
                   });
}

void ChatPanel::setSending(bool sending)
{
    // While a host name is looked up the message is still in the field; a
    // second click must not send it twice.
    m_btSend->setEnabled(!sending);
    m_btFim->setEnabled(!sending);
}

void ChatPanel::btSaveClick()
{
    if (m_transcript->isEmpty()) {
        Q_EMIT logMessage(QStringLiteral("Não há nada para ser salvo na janela do chat."));
        return;
    }
    Q_EMIT logMessage(QStringLiteral("Salvando janela do Chat."));
    const QString chosen = m_saveAsker ? m_saveAsker(this) : QString();
    if (chosen.isEmpty())
        return;
    m_transcript->save(chosen + QStringLiteral(".txt"));
}

void ChatPanel::btClearClick()
{
    m_transcript->clear();
    m_edMensagem->setFocus();
    Q_EMIT logMessage(QStringLiteral("Limpando janela do Chat."));
}
