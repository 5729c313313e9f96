// Runs in a real X session: takes screenshots of both windows from the X
// server after they have drawn, and checks what a person would see.
#include "captionbutton.h"
#include "dialogdriver.h"
#include "figurewindow.h"
#include "picturebox.h"
#include "rhymewindow.h"

#include <QDir>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

namespace {

// The window as the X server shows it, saved next to the test programs.
QImage screenshot(QWidget *window, const QString &name)
{
    QTest::qWait(100); // let the server show the last paint
    const QRect frame = window->geometry();
    QImage shot = window->screen()
                          ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);
    const QDir folder(QCoreApplication::applicationDirPath() + u"/../screenshots"_qs);
    folder.mkpath(u"."_qs);
    shot.save(folder.filePath(name));
    return shot;
}

int darkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

} // namespace

class TestScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void snowflakeOnScreen();
    void verseOnScreen();
};

void TestScreenshots::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb"_qs)
        QSKIP("screenshots are taken from a real X server only");
}

void TestScreenshots::snowflakeOnScreen()
{
    RandomColours colours;
    figdraw::Form1 form(colours);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    DialogDriver dialogs;
    dialogs.nextAnswer(u"60"_qs);
    form.Command2->click();

    const QImage shot = screenshot(&form, u"figdraw-snowflake-60.png"_qs);
    const QPoint inside = form.Picture1->geometry().topLeft() + QPoint(2, 2);
    const auto at = [&](int x, int y) { return shot.pixel(inside + QPoint(x, y)); };
    const QRgb magenta = qRgb(128, 0, 128), white = qRgb(255, 255, 255);
    // The vertical and horizontal strokes through the centre, 30 units to each side.
    for (int offset : {-50, -20, 0, 20, 50}) {
        QCOMPARE(at(194, 194 + offset), magenta);
        QCOMPARE(at(194 + offset, 194), magenta);
    }
    // The figure reaches 56.25 units (109 pixels) from the centre; beyond is background.
    for (int y = 0; y < PictureBox::insideSize; ++y)
        for (int x = 0; x < PictureBox::insideSize; ++x)
            if (std::abs(x - 194) > 115 || std::abs(y - 194) > 115)
                QVERIFY2(at(x, y) == white, qPrintable(u"%1, %2"_qs.arg(x).arg(y)));
}

void TestScreenshots::verseOnScreen()
{
    countdown::Form1 form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QRect verseBox = form.Text1->geometry().adjusted(4, 4, -24, -4);
    QCOMPARE(darkPixels(screenshot(&form, u"countdown-empty.png"_qs), verseBox), 0);

    DialogDriver dialogs;
    dialogs.nextAnswer(u"3"_qs);
    form.Command2->click();
    const QImage shot = screenshot(&form, u"countdown-verse-3.png"_qs);
    QVERIFY(darkPixels(shot, verseBox) > 500);
    QVERIFY(darkPixels(shot, form.Text2->geometry().adjusted(3, 3, -3, -3)) > 20);
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
