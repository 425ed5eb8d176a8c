#include "chat/ChatEndpointEditor.h"

#include "app/ErrorReport.h"
#include "chat/ChatEndpoint.h"
#include "chat/ChatProtocol.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleDescription(widget->objectName());
    return widget;
}

} // namespace

ChatEndpointEditor::ChatEndpointEditor(QWidget *parent)
    : QWidget(parent)
    , m_cbCanal(named(new QComboBox(this), "cbCanal"))
    , m_edIPChat(named(new QLineEdit(this), "edIPChat"))
    , m_edPortaChat(named(new QLineEdit(this), "edPortaChat"))
{
    for (int n = 1; n <= ChatProtocol::kChannels; ++n)
        m_cbCanal->addItem(ChatProtocol::channelItem(n));
    m_cbCanal->setCurrentIndex(-1);
    m_cbCanal->setMaxVisibleItems(20);

    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("Canal"), m_cbCanal);
    form->addRow(QStringLiteral("IP Chat"), m_edIPChat);
    form->addRow(QStringLiteral("Porta Chat"), m_edPortaChat);

    connect(m_cbCanal, &QComboBox::activated, this,
            [this] { ErrorReport::guarded([this] { cbCanalChange(); }); });
    connect(m_edIPChat, &QLineEdit::textChanged, this,
            [this] { ErrorReport::guarded([this] { edIPChatChange(); }); });
    connect(m_edPortaChat, &QLineEdit::textChanged, this,
            [this] { ErrorReport::guarded([this] { edPortaChatChange(); }); });
}

void ChatEndpointEditor::cbCanalChange()
{
    const int position = m_cbCanal->currentIndex();
    if (position < 0)
        return;
    const SettingsStore store;
    store.createKey();
    store.writeNumber(QStringLiteral("idCanal"), position);
    const int channel = position + 1;
    loadField(m_edIPChat, store.read(ChatEndpoint::addressName(channel)),
              &ChatEndpointEditor::edIPChatChange);
    loadField(m_edPortaChat, store.read(ChatEndpoint::portName(channel)),
              &ChatEndpointEditor::edPortaChatChange);
}

void ChatEndpointEditor::loadField(QLineEdit *field, const QString &text,
                                   void (ChatEndpointEditor::*change)())
{
    if (field->text() == text)
        return;
    {
        // The write-back runs here rather than from textChanged, so that its
        // failure ends the channel choice instead of being reported apart.
        const QSignalBlocker blocker(field);
        field->setText(text);
    }
    (this->*change)();
}

void ChatEndpointEditor::edIPChatChange()
{
    writeField(m_edIPChat, ChatEndpoint::addressName(m_cbCanal->currentIndex() + 1));
}

void ChatEndpointEditor::edPortaChatChange()
{
    writeField(m_edPortaChat, ChatEndpoint::portName(m_cbCanal->currentIndex() + 1));
}

void ChatEndpointEditor::writeField(QLineEdit *field, const QString &valueName)
{
    const SettingsStore store;
    store.createKey();
    if (m_cbCanal->currentIndex() < 0)
        return;
    store.write(valueName, field->text());
}
