#pragma once

#include <QWidget>

class QLabel;
class QPropertyAnimation;
class QTimer;
class QToolButton;

// The pop-up "Alerta" that tells the supervisor an agent is calling: it
// slides in at the lower right of the screen's work area, sounds once fully
// shown and hides itself after a while unless the pointer rests on it.
class AlertWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlertWindow)

public:
    static constexpr int kWidth = 211;
    static constexpr int kHeight = 116;
    static constexpr int kRightGap = 16;
    static constexpr int kHideDelayMs = 9000;

    explicit AlertWindow(QWidget *parent = nullptr);

    void setText(const QString &html);
    QString text() const;

    // Slides in (again, if already shown) with the current text.
    void showAlert();

    // Where the slide ends: the lower right of the primary work area.
    QRect restingGeometry() const;

    void setHideDelay(int ms);
    int hideDelay() const;
    void setSlideDuration(int ms) { m_slideMs = ms; }

Q_SIGNALS:
    // The slide has ended and the sound has been played.
    void fullyShown();

private:
    void slideFinished();
    void hideTimeout();
    bool pointerRests() const;

    QLabel *m_icon;
    QLabel *m_text;
    QToolButton *m_close;
    QPropertyAnimation *m_slide;
    QTimer *m_hideTimer;
    int m_slideMs = 400;
};
