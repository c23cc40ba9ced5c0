#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Gives each test its own empty HOME and clears the XDG variables that could
// point the documents folder elsewhere.
class PrivateHome : public ::testing::EmptyTestEventListener {
    std::unique_ptr<QTemporaryDir> m_dir;

    void OnTestStart(const ::testing::TestInfo &) override {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("HOME", m_dir->path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    void OnTestEnd(const ::testing::TestInfo &) override { m_dir.reset(); }
};

} // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PrivateHome);
    return RUN_ALL_TESTS();
}
