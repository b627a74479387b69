// Saves the whole screen of the current X display as PNG: how the run command
// shows, where no display is at hand, what the program drew under Xvfb.
// Usage: screen_grab FILE.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
