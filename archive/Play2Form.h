#pragma once

#include <QDialog>
#include <optional>

class QAudioOutput;
class QLabel;
class QMediaPlayer;
class QPushButton;
class QSlider;

// The details of the call shown under the player; a column that is NULL
// leaves its label empty.
struct PlayerDetails
{
    QString file;
    std::optional<QString> operador;
    std::optional<QString> duracao;
    std::optional<QString> data;
    std::optional<QString> hora;
    std::optional<QString> direcao;
    std::optional<QString> telefone;
};

// Play2Form: the small modal player of one recording. It starts playing as
// soon as it gets a location and stops when it closes.
class TPlay2Form final : public QDialog
{
    Q_OBJECT

public:
    explicit TPlay2Form(QWidget *parent = nullptr);
    ~TPlay2Form() override;

    void setDetails(const PlayerDetails &details);
    void play(const QString &location);

    QMediaPlayer *player() const;
    QAudioOutput *audioOutput() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMediaArea(QWidget *area);
    void buildDetails(QWidget *strip);

    QMediaPlayer *m_player;
    QAudioOutput *m_audio;
    QPushButton *m_playPause = nullptr;
    QSlider *m_position = nullptr;
    QLabel *m_time = nullptr;
    QSlider *m_volume = nullptr;
    QLabel *m_lbFile = nullptr;
    QLabel *m_lbOperador = nullptr;
    QLabel *m_lbDuracao = nullptr;
    QLabel *m_lbDataGrava = nullptr;
    QLabel *m_lbHoraGrava = nullptr;
    QLabel *m_lbDirecao = nullptr;
    QLabel *m_lbTelefone = nullptr;
};
