#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <vector>

#include "platform/controls/AppEventHooks.h"

namespace {

constexpr auto probeType = QEvent::Type(QEvent::User + 77);

TEST(AppEventHooks, LastHookFirstAndConsumingStopsDelivery)
{
    struct Receiver : QObject {
        int Seen = 0;
        bool event(QEvent* e) override
        {
            if (e->type() == probeType)
                ++Seen;
            return QObject::event(e);
        }
    } receiver;
    std::vector<int> order;
    bool consume = false;
    const int first = AddAppEventHook([&](QObject* r, QEvent* e) {
        if (r == &receiver && e->type() == probeType)
            order.push_back(1);
        return false;
    });
    const int second = AddAppEventHook([&](QObject* r, QEvent* e) {
        if (r == &receiver && e->type() == probeType)
            order.push_back(2);
        return consume && e->type() == probeType;
    });
    QEvent probe(probeType);
    QCoreApplication::sendEvent(&receiver, &probe);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(receiver.Seen, 1);
    consume = true;
    QCoreApplication::sendEvent(&receiver, &probe);
    EXPECT_EQ(receiver.Seen, 1);
    RemoveAppEventHook(second);
    RemoveAppEventHook(first);
    RemoveAppEventHook(first);  // harmless
    EXPECT_EQ(AppEventHookCount(), 0);
    QCoreApplication::sendEvent(&receiver, &probe);
    EXPECT_EQ(receiver.Seen, 2);
}

}  // namespace
