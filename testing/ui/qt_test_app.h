// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <ostream>

// Texts in failure messages as text, not as bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Creates the one QApplication the window tests share, on the offscreen
// platform unless another is asked for, named like the program.
inline void EnsureQtApp()
{
    if (QApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "susurra";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
    QApplication::setApplicationName(QStringLiteral("susurra"));
}

// Base of every fixture that makes widgets.
class QtTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};
