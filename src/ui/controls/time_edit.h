// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimeEdit>

#include <optional>

// A time-of-day editor (hh:mm:ss) that takes what the user types:
// - a click in a section selects that section, so typing replaces it;
// - a section typed out of range ("24" hours) stays as typed, also when the
//   focus leaves, so that the window's next reading can refuse it rather
//   than take another value. time() keeps the last valid value meanwhile.
class CTimeEdit : public QTimeEdit
{
    Q_OBJECT
public:
    explicit CTimeEdit(QWidget* parent = nullptr);

    struct RangeError
    {
        Section section;
        int minimum;
        int maximum;
    };
    // The first section whose typed number lies outside its range, if any.
    std::optional<RangeError> OutOfRange() const;

    QValidator::State validate(QString& input, int& pos) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static std::optional<RangeError> FirstOutOfRange(const QString& text);
};
