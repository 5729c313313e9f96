#include "canvas.h"
#include "picturebox.h"

#include <QTest>

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb magenta = qRgb(128, 0, 128);

// The bounding box of everything that is not white.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != white)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class TestPictureBox : public QObject
{
    Q_OBJECT

private slots:
    void palette();
    void circleTouchesAllEdges();
    void centredSystemPutsOriginInTheMiddle();
    void chainedLinesContinueFromCurrentPoint();
    void clearKeepsScaleAndWhitens();
    void skippedCirclesLeaveTheSamePicture();
    void highDensityKeepsStrokesSharp();
};

void TestPictureBox::palette()
{
    const QRgb expected[16] = {
            qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
            qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
            qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    for (int index = 0; index < 16; ++index)
        QCOMPARE(PaletteColour(index), expected[index]);
}

void TestPictureBox::circleTouchesAllEdges()
{
    PictureBox box;
    QCOMPARE(box.contentsRect().size(), QSize(389, 389));
    QCOMPARE(box.frameWidth(), 2);
    box.SetScale(0, 0, 200, 200);
    box.DrawCircle(100, 100, 100, magenta);
    const QImage picture = box.picture();
    QCOMPARE(inkBounds(picture), QRect(0, 0, 389, 389));
    // An outline, not a disc.
    QCOMPARE(picture.pixel(194, 194), white);
    QCOMPARE(picture.pixel(0, 194), magenta);
}

void TestPictureBox::centredSystemPutsOriginInTheMiddle()
{
    PictureBox box;
    box.SetScale(-100, 100, 100, -100);
    box.DrawLine(0, 0, 0, 50, magenta);
    const QRect stroke = inkBounds(box.picture());
    // From the centre upwards, a quarter of the height long.
    QVERIFY(std::abs(stroke.bottom() - 194.5) <= 1);
    QVERIFY(std::abs(stroke.top() - 97.25) <= 1);
    QCOMPARE(stroke.width(), 1);
}

void TestPictureBox::chainedLinesContinueFromCurrentPoint()
{
    PictureBox box;
    box.SetScale(0, 0, 100, 100);
    box.DrawLine(10, 10, 90, 10, magenta);
    box.DrawLine(90, 90, magenta);
    const QImage picture = box.picture();
    QCOMPARE(picture.pixel(350, 39), magenta);  // on the first stroke
    QCOMPARE(picture.pixel(350, 300), magenta); // on the chained one, straight down from its end
}

void TestPictureBox::clearKeepsScaleAndWhitens()
{
    PictureBox box;
    box.SetScale(0, 0, 200, 200);
    box.DrawCircle(100, 100, 50, magenta);
    const QImage first = box.picture();
    box.ClearCanvas();
    QCOMPARE(inkBounds(box.picture()), QRect());
    box.DrawCircle(100, 100, 50, magenta);
    QCOMPARE(box.picture(), first);
}

// Circles that miss the area, or enclose it entirely, are not painted; the
// result must equal painting every circle.
void TestPictureBox::skippedCirclesLeaveTheSamePicture()
{
    PictureBox box;
    box.SetScale(0, 0, 200, 200);
    QImage painted(389, 389, QImage::Format_RGB32);
    painted.fill(white);
    QPainter painter(&painted);
    painter.setPen(QPen(QColor::fromRgb(magenta), 1));
    const double scale = 389.0 / 200;
    const float circles[][3] = {
            {100, 100, 142},   {100, 100, 141},  {100, 100, 140},  {-1, 100, 1.5},
            {-1, 100, 0.9},    {100, 201.2f, 1}, {100, 203, 1},    {300, 300, 141.5f},
            {300, 300, 141},   {-50, -50, 3},    {100, 100, 1e6f}, {100, 1e6f, 999899},
            {100, 1e6f, 1e6f}, {0, 0, 283},      {0, 0, 282},
    };
    for (const auto &circle : circles) {
        box.DrawCircle(circle[0], circle[1], circle[2], magenta);
        painter.drawEllipse(QPointF(circle[0] * scale, circle[1] * scale), circle[2] * scale,
                            circle[2] * scale);
    }
    painter.end();
    QCOMPARE(box.picture(), painted);
}

// Run a second time with QT_SCALE_FACTOR=2: the picture then has twice the
// pixels each way, and what was drawn before the window showed is kept.
void TestPictureBox::highDensityKeepsStrokesSharp()
{
    PictureBox box;
    box.SetScale(0, 0, 200, 200);
    box.DrawCircle(100, 100, 100, magenta);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const qreal ratio = box.devicePixelRatioF();
    if (ratio == 1)
        QSKIP("needs a high-density screen, e.g. QT_SCALE_FACTOR=2");
    box.DrawLine(0, 100, 200, 100, magenta);
    const QImage picture = box.picture();
    QCOMPARE(picture.size(), QSize(389, 389) * ratio);
    QCOMPARE(inkBounds(picture), QRect(QPoint(0, 0), picture.size()));
    // The new stroke is as thick as one logical pixel: ratio device pixels, no blur.
    int thickness = 0;
    const int middle = picture.height() / 2;
    for (int y = middle - 10; y <= middle + 10; ++y) {
        const QRgb pixel = picture.pixel(picture.width() / 3, y);
        QVERIFY(pixel == white || pixel == magenta);
        thickness += pixel == magenta;
    }
    QCOMPARE(thickness, int(ratio));
}

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
