#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

// The group "Canais" of the settings page: the chat address and port of the
// chosen channel, written to the store at every change of either field.
class ChatEndpointEditor final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChatEndpointEditor)

public:
    explicit ChatEndpointEditor(QWidget *parent = nullptr);

    QComboBox *channelList() const { return m_cbCanal; }
    QLineEdit *addressEditor() const { return m_edIPChat; }
    QLineEdit *portEditor() const { return m_edPortaChat; }

    // The handlers; they throw VorlanError on a store failure.
    void cbCanalChange();
    void edIPChatChange();
    void edPortaChatChange();

private:
    void writeField(QLineEdit *field, const QString &valueName);
    // Loads a value into a field; a different text is an edit like a typed one.
    void loadField(QLineEdit *field, const QString &text, void (ChatEndpointEditor::*change)());

    QComboBox *m_cbCanal;
    QLineEdit *m_edIPChat;
    QLineEdit *m_edPortaChat;
};
