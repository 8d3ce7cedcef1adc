// Saves the whole screen of the display as a PNG, once it shows more than an
// empty background and has stopped changing: a window that is still being
// mapped or painted is not caught half-way.
//
//   zrk_screenshot OUTPUT.png [TIMEOUT_SECONDS]
//
// Exit status 0 when a settled screen was saved; 1 when the time ran out (the
// last grab is saved all the same); 2 for usage errors or no screen.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kIntervalMs = 250;
// Identical grabs in a row that count as settled.
constexpr int kSettledGrabs = 3;

bool isOneColour(const QImage& image) {
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != first)
                return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: zrk_screenshot OUTPUT.png [TIMEOUT_SECONDS]\n");
        return 2;
    }
    const double timeoutSeconds = argc == 3 ? std::atof(argv[2]) : 20.0;
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "zrk_screenshot: no screen\n");
        return 2;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    QImage previous;
    int same = 0;
    bool settled = false;
    while (std::chrono::steady_clock::now() < deadline) {
        QImage grab = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        same = !isOneColour(grab) && grab == previous ? same + 1 : 1;
        previous = std::move(grab);
        if (same >= kSettledGrabs) {
            settled = true;
            break;
        }
        QThread::msleep(kIntervalMs);
    }
    if (!previous.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "zrk_screenshot: cannot write %s\n", argv[1]);
        return 2;
    }
    if (!settled) {
        std::fprintf(stderr, "zrk_screenshot: the screen did not settle within %.0f s; saved the last grab\n",
                     timeoutSeconds);
        return 1;
    }
    return 0;
}
