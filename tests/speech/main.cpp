// The speech suite runs its engine tests on a QCoreApplication event loop: completions
// and audio arrive as queued calls on the main thread.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
