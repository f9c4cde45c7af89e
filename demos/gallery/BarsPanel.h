#pragma once

#include "components/StyledProgressBar.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QSettings;
class QSlider;

namespace tavlo {

// Every look of the progress bar, across and upright, with and without the caption, and the
// controls that drive them all: the value, the colour and the hatch.
class BarsPanel : public QWidget {
public:
    explicit BarsPanel(QWidget *parent = nullptr);

    // Each bar under a group named after it; the controls follow the first bar.
    void readSettings(QSettings &settings);
    void writeSettings(QSettings &settings) const;

private:
    StyledProgressBar *makeBar(int style, StyledProgressBar::Orientation orientation, bool caption, QSize size);

    QList<StyledProgressBar *> m_bars;
    QSlider *m_slider;
    QLabel *m_value;
    QComboBox *m_hatch;
};

} // namespace tavlo
