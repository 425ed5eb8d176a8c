#pragma once

#include <QColor>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <functional>

class ChatClient;
class ChatTranscript;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class UpperCaseLineEdit;

// The panel "Chat" of the page "Principal": the conversation view, the
// channel list, the message field and the four buttons with their handlers.
class ChatPanel final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChatPanel)

public:
    // Asks for the file to save the view to; an empty text is a cancel.
    using SaveAsker = std::function<QString(QWidget *parent)>;

    explicit ChatPanel(QWidget *parent = nullptr);

    void setUserEditor(QLineEdit *edusuario) { m_edusuario = edusuario; }
    void setSaveAsker(SaveAsker asker) { m_saveAsker = std::move(asker); }

    ChatTranscript *transcript() const { return m_transcript; }
    ChatClient *client() const { return m_client; }

    // The handlers; failures are thrown as VorlanError for the error report,
    // or reported directly when a host lookup fails after the click.
    void btSendClick();
    void btFimClick();
    void btSaveClick();
    void btClearClick();

Q_SIGNALS:
    void logMessage(const QString &message);
    void callMark(int channel, const QColor &colour);

private:
    void setSending(bool sending);

    QPlainTextEdit *m_mChat;
    QComboBox *m_cbSelecCanal;
    UpperCaseLineEdit *m_edMensagem;
    QPushButton *m_btSend;
    QPushButton *m_btSave;
    QPushButton *m_btClear;
    QPushButton *m_btFim;
    ChatTranscript *m_transcript;
    ChatClient *m_client;
    QPointer<QLineEdit> m_edusuario;
    SaveAsker m_saveAsker;
};
