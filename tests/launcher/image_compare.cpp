// image-compare SHOT.png PICTURE.jpg: whether a screenshot shows the picture scaled to the
// screenshot's size. Prints the mean channel difference; fails above a small tolerance
// (scaling and JPEG decoding differ a little between paths).
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: image-compare SHOT.png PICTURE.jpg\n");
        return 2;
    }
    const QImage shot = QImage(argv[1]).convertToFormat(QImage::Format_RGB32);
    QImage picture = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || picture.isNull()) {
        std::fprintf(stderr, "image-compare: cannot read the images\n");
        return 2;
    }
    picture = picture.scaled(shot.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = picture.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
        }
    }
    const double mean = sum / (3.0 * shot.width() * shot.height());
    std::printf("mean difference %.2f\n", mean);
    return mean <= 6.0 ? 0 : 1;
}
