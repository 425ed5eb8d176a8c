#include "app/Skin.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace Skin {

void apply()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette p;
    p.setColor(QPalette::Window, QColor(236, 238, 242));
    p.setColor(QPalette::WindowText, QColor(30, 34, 40));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(244, 244, 244));
    p.setColor(QPalette::Text, QColor(30, 34, 40));
    p.setColor(QPalette::Button, QColor(228, 231, 236));
    p.setColor(QPalette::ButtonText, QColor(30, 34, 40));
    p.setColor(QPalette::Highlight, QColor(52, 101, 164));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, Qt::blue);
    QApplication::setPalette(p);
}

} // namespace Skin
