#pragma once
#include "app/context.h"
#include "data/maincursors.h"

#include <QMainWindow>
#include <memory>

namespace vantrel {

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(Context& ctx, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Brings the program up: data store, cursors, layout, timers. Throws DataError when the
    // tables cannot be opened.
    void FormCreate();
    void startShown(bool shown);
    data::MainCursors& cursors() { return *m_cursors; }

public slots:
    void showFromNotificationArea();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void openDataStore();
    void writeAutoStartEntry();
    void shutDown();

    Context& m_ctx;
    std::unique_ptr<data::MainCursors> m_cursors;
};

} // namespace vantrel
