// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of the start-up benchmark: a plain Qt Widgets dialog with
// about 25 controls, built the usual way, doing nothing else.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare dialog"));
    auto* grid = new QGridLayout(&dialog);
    int row = 0;
    int column = 0;
    for (const char* text : {"Play", "Stop", "To File", "Tools", "Help", "Exit"})
        grid->addWidget(new QPushButton(QString::fromLatin1(text)), row + column / 2, column % 2), ++column;
    row += 3;
    auto* group = new QGroupBox(QStringLiteral("Noise Type"));
    auto* groupLayout = new QGridLayout(group);
    for (const char* text : {"Physiological Noise", "White Noise", "Pink Noise", "Tinnitus Finder"})
        groupLayout->addWidget(new QRadioButton(QString::fromLatin1(text)));
    grid->addWidget(group, row++, 0);
    for (int i = 0; i < 6; ++i)
    {
        grid->addWidget(new QLabel(QStringLiteral("Value %1:").arg(i)), row, 0);
        grid->addWidget(new QLineEdit(QStringLiteral("100")), row++, 1);
    }
    grid->addWidget(new QComboBox, row, 0);
    grid->addWidget(new QComboBox, row++, 1);
    grid->addWidget(new QSlider(Qt::Horizontal), row, 0);
    grid->addWidget(new QSlider(Qt::Horizontal), row++, 1);
    grid->addWidget(new QProgressBar, row, 0);
    grid->addWidget(new QProgressBar, row++, 1);
    grid->addWidget(new QTimeEdit, row, 0);
    grid->addWidget(new QCheckBox(QStringLiteral("Endless")), row++, 1);
    dialog.show();
    return app.exec();
}
