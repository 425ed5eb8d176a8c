#include "archive/Play2Form.h"

#include "app/TimeText.h"

#include <QAudioOutput>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

namespace {
template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleDescription(widget->objectName());
    return widget;
}

QString clock(qint64 ms)
{
    return TimeText::formatTimeOfDay(int(std::clamp<qint64>(ms / 1000, 0, 86399)));
}
} // namespace

TPlay2Form::TPlay2Form(QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_player(new QMediaPlayer(this))
    , m_audio(new QAudioOutput(this))
{
    setObjectName(QStringLiteral("Play2Form"));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("VORLAN - Player"));
    setFixedSize(350, 380);
    setModal(true);
    m_player->setAudioOutput(m_audio);
    m_audio->setVolume(0.5f);
    m_player->setLoops(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *media = named(new QFrame(this), "WindowsMediaPlayer1");
    media->setFixedHeight(257);
    media->setStyleSheet(QStringLiteral("#WindowsMediaPlayer1 { background: black; } "
                                        "#WindowsMediaPlayer1 QLabel { color: white; }"));
    buildMediaArea(media);
    layout->addWidget(media);
    auto *strip = named(new QFrame(this), "GradientPanel1");
    strip->setFixedHeight(89);
    strip->setStyleSheet(
        QStringLiteral("#GradientPanel1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 rgb(188,186,194), stop:1 rgb(224,223,227)); }"));
    buildDetails(strip);
    layout->addWidget(strip);
    layout->addStretch(1);

    if (parent) {
        const QRect outer = parent->window()->geometry();
        move(outer.center() - QPoint(width() / 2, height() / 2));
    }
}

TPlay2Form::~TPlay2Form()
{
    m_player->stop();
}

void TPlay2Form::buildMediaArea(QWidget *area)
{
    auto *layout = new QVBoxLayout(area);
    layout->addStretch(1);
    m_position = named(new QSlider(Qt::Horizontal, area), "sbPosicao");
    layout->addWidget(m_position);
    auto *controls = new QHBoxLayout;
    m_playPause = named(new QPushButton(QStringLiteral("Pausar"), area), "btPlayPause");
    m_time = named(new QLabel(QStringLiteral("00:00:00 / 00:00:00"), area), "lbTempo");
    m_volume = named(new QSlider(Qt::Horizontal, area), "sbVolume");
    m_volume->setRange(0, 100);
    m_volume->setValue(50);
    m_volume->setMaximumWidth(80);
    controls->addWidget(m_playPause);
    controls->addWidget(m_time, 1);
    controls->addWidget(new QLabel(QStringLiteral("Volume"), area));
    controls->addWidget(m_volume);
    layout->addLayout(controls);

    connect(m_playPause, &QPushButton::clicked, this, [this] {
        if (m_player->playbackState() == QMediaPlayer::PlayingState)
            m_player->pause();
        else
            m_player->play();
    });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState s) {
                m_playPause->setText(s == QMediaPlayer::PlayingState ? QStringLiteral("Pausar")
                                                                     : QStringLiteral("Tocar"));
            });
    connect(m_player, &QMediaPlayer::durationChanged, this,
            [this](qint64 d) { m_position->setRange(0, int(d)); });
    connect(m_player, &QMediaPlayer::positionChanged, this, [this](qint64 p) {
        if (!m_position->isSliderDown())
            m_position->setValue(int(p));
        m_time->setText(clock(p) + QStringLiteral(" / ") + clock(m_player->duration()));
    });
    connect(m_position, &QSlider::sliderMoved, m_player, &QMediaPlayer::setPosition);
    connect(m_volume, &QSlider::valueChanged, this,
            [this](int v) { m_audio->setVolume(v / 100.0f); });
    // A location that cannot be opened plays nothing and says nothing.
    connect(m_player, &QMediaPlayer::errorOccurred, this,
            [this] { m_playPause->setText(QStringLiteral("Tocar")); });
}

void TPlay2Form::buildDetails(QWidget *strip)
{
    auto *grid = new QGridLayout(strip);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(2);
    m_lbFile = named(new QLabel(QStringLiteral("Arquivo"), strip), "lbFile");
    QFont big = m_lbFile->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    m_lbFile->setFont(big);
    grid->addWidget(m_lbFile, 0, 0, 1, 6);
    auto caption = [&](const QString &text, int row, int column) {
        grid->addWidget(new QLabel(text, strip), row, column);
    };
    m_lbOperador = named(new QLabel(strip), "lbOperador");
    m_lbDuracao = named(new QLabel(strip), "lbDuracao");
    m_lbDataGrava = named(new QLabel(strip), "lbDataGrava");
    m_lbHoraGrava = named(new QLabel(strip), "lbHoraGrava");
    m_lbDirecao = named(new QLabel(strip), "lbDirecao");
    m_lbTelefone = named(new QLabel(strip), "lbTelefone");
    caption(QStringLiteral("Canal:"), 1, 0);
    grid->addWidget(m_lbOperador, 1, 1, 1, 5);
    caption(QStringLiteral("Duração:"), 2, 0);
    grid->addWidget(m_lbDuracao, 2, 1);
    caption(QStringLiteral("Data:"), 2, 2);
    grid->addWidget(m_lbDataGrava, 2, 3);
    caption(QStringLiteral("Hora:"), 2, 4);
    grid->addWidget(m_lbHoraGrava, 2, 5);
    caption(QStringLiteral("Ligação de:"), 3, 0);
    grid->addWidget(m_lbDirecao, 3, 1);
    caption(QStringLiteral("Número:"), 3, 2);
    grid->addWidget(m_lbTelefone, 3, 3, 1, 3);
}

void TPlay2Form::setDetails(const PlayerDetails &d)
{
    m_lbFile->setText(d.file);
    const std::pair<QLabel *, const std::optional<QString> *> values[] = {
        { m_lbOperador, &d.operador }, { m_lbDuracao, &d.duracao }, { m_lbDataGrava, &d.data },
        { m_lbHoraGrava, &d.hora },    { m_lbDirecao, &d.direcao }, { m_lbTelefone, &d.telefone },
    };
    for (const auto &[label, value] : values) {
        if (value->has_value())
            label->setText(**value);
    }
}

void TPlay2Form::play(const QString &location)
{
    if (location.isEmpty())
        return;
    const QUrl url
        = location.contains(QStringLiteral("://")) ? QUrl(location) : QUrl::fromLocalFile(location);
    m_player->setSource(url);
    m_player->play();
}

QMediaPlayer *TPlay2Form::player() const
{
    return m_player;
}
QAudioOutput *TPlay2Form::audioOutput() const
{
    return m_audio;
}

void TPlay2Form::closeEvent(QCloseEvent *event)
{
    m_player->stop();
    QDialog::closeEvent(event);
}
