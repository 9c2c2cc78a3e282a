// What one event costs, from the control to the repaint request, painting excluded.

#include "app/chromalynx.h"
#include "app/detailswindow.h"
#include "fixture.h"
#include "platform/controls/listbox.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"

#include <QTest>
#include <QUrl>

#include <memory>

class Handlers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        window_ = std::make_unique<Chromalynx>(Services{
            standIns_.dialog, standIns_.messages, standIns_.desktop, standIns_.store, QString()});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void sliderStep()
    {
        int value = 0;
        QBENCHMARK
        {
            value = (value + 1) % 256;
            window_->RSlider->setValue(value);
        }
    }

    // The same step with the colour-details window open: the chain, then the window's
    // redraw that the step queues, so the difference to sliderStep is all it adds.
    void sliderStepDetailsOpen()
    {
        window_->display_details_Click();
        auto *details = window_->findChild<DetailsWindow *>();
        QVERIFY(details && details->isVisible());
        QCoreApplication::processEvents();
        int value = 0;
        QBENCHMARK
        {
            value = (value + 1) % 256;
            window_->RSlider->setValue(value);
            QCoreApplication::sendPostedEvents(details, QEvent::MetaCall);
        }
        details->close();
    }

    void listSelection()
    {
        int row = 0;
        QBENCHMARK
        {
            row = (row + 1) % 140;
            window_->ColorName2->setCurrentRow(row);
        }
    }

    void favoriteRecall()
    {
        window_->FavoriteColor[0]->setBackColor(0x123456);
        window_->FavoriteColor[1]->setBackColor(0x654321);
        int index = 0;
        QBENCHMARK
        {
            index = 1 - index;
            window_->favorite_display_Click(index);
        }
    }

    void cleanupTestCase() { window_.reset(); }

private:
    Fixture standIns_; // the window tests' stand-ins for the dialogs, desktop and store
    std::unique_ptr<Chromalynx> window_;
};

QTEST_MAIN(Handlers)
#include "handlers.moc"
