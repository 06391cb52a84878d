#pragma once

#include <QWidget>

// The program's only top-level window.
class w_main : public QWidget
{
    Q_OBJECT
public:
    explicit w_main(QWidget *parent = nullptr);
    // The opening steps: runs once, after the window and its pages were created.
    void open();

protected:
    void closeEvent(QCloseEvent *event) override;
};
