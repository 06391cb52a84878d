// bench_bare_window: the floor start-up is measured against. A Qt Widgets program that links
// nothing of Mivo and shows one window of the given size; with --caption the window also shows one
// line of Chinese text, so the font database and a CJK face are loaded as any Chinese interface must.
//
//   bench_bare_window W H [--caption]
//
// The window's title is "bare window" (or "bare caption"): the benchmark finds it by that name.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const bool caption = args.contains(QStringLiteral("--caption"));
    QWidget window;
    window.setWindowTitle(caption ? QStringLiteral("bare caption") : QStringLiteral("bare window"));
    window.resize(args.at(1).toInt(), args.at(2).toInt());
    if (caption)
        (new QLabel(QStringLiteral("通讯录 笔记本 个人资产 记帐 配置"), &window))->move(10, 10);
    window.show();
    return app.exec();
}
