#include "sizeprompt.h"

#include "errorreport.h"
#include "numberreader.h"
#include "prompt.h"

#include <QWidget>

std::optional<double> askFigureSize(QWidget *window, const QString &prompt, const Growth &growth,
                                    bool circles)
{
    const std::optional<QString> typed = InputPrompt(window, prompt, QStringLiteral("Ввод данных"));
    if (!typed)
        return {};
    const NumberReading reading = readNumber(*typed);
    if (reading.status == NumberReading::NotANumber) {
        ErrorReport(window, window->windowTitle(), typeMismatchMessage(*typed));
        return {};
    }
    if (reading.status == NumberReading::Overflow) {
        ErrorReport(window, window->windowTitle(),
                    QStringLiteral("Переполнение: «%1» — слишком большое число.")
                            .arg(quotedInput(*typed)));
        return {};
    }
    if (shapeCount(growth, reading.value) > shapeLimit) {
        ErrorReport(window, window->windowTitle(),
                    // The number's spaces do not break: it stays on one line.
                    QStringLiteral("Слишком большой размер: рисунок потребовал бы больше "
                                   "1\u00A0500\u00A0000 %1.")
                            .arg(circles ? u"окружностей" : u"линий"));
        return {};
    }
    return reading.value;
}
