// veltrano-cli and the user's names file: read without --data, passed over with it, and the
// origin of every name.
#include "CliTestSupport.h"

namespace veltrano::clitest {
namespace {

class Names : public CliTest {
  protected:
    // The user's names file, as the window writes it into the settings folder.
    std::string UserFile() const {
#ifdef _WIN32
        return P({"config", "Veltrano", "Veltrano.txt"});
#else
        return P({"config", "veltrano", "Veltrano.txt"});
#endif
    }
    void WriteUserFile() const {
        WriteFile(UserFile(), "Mine\r\n\r\n[CONTROLLERS]\r\n0;off\r\n1;Wheel\r\n\r\n"
                              "[PARAMETERS]\r\n0;off\r\n1;Pitch\r\n\r\n[DEPTH]\r\n0;min");
    }
};

TEST_F(Names, EveryNameWithItsOrigin) {
    Outcome r = Run({"names"});
    ASSERT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out.substr(0, 12), "controllers\n");
    EXPECT_NE(r.out.find("\n96\tSource 96 ?\tplaceholder\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nparameters\n0\toff\tshipped\n"), std::string::npos);
    EXPECT_NE(r.out.find("\ndepths\n"), std::string::npos);
    EXPECT_EQ(r.out.find("\tuser\n"), std::string::npos);

    WriteUserFile();
    r = Run({"names", "--json"});
    ASSERT_EQ(r.status, cli::kOk) << r.err;
    std::string path; // as JSON writes it: a Windows path's backslashes escaped
    for (char c : UserFile())
        path += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(r.out.find("\"user_file\":\"" + path + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("{\"value\":1,\"name\":\"Wheel\",\"origin\":\"user\"}"),
              std::string::npos);
    // Completed from the shipped list.
    EXPECT_NE(r.out.find("{\"value\":96,\"name\":\"Source 96 ?\",\"origin\":\"placeholder\"}"),
              std::string::npos);
}

// Without --data the user's names name the slots; --data names one file alone; a names file
// that does not read whole is reported and the shipped names are used.
TEST_F(Names, TheDefaultDataFileIsTheShippedOneUnderTheUsersNames) {
    const std::string bank = P("one.an1");
    WriteFile(bank, An1Bank({TestVoice{"Lead", 0, {{1, 1, 1, 0}}}}));
    WriteUserFile();
    Outcome r = Run({"matrix", bank, "0"});
    ASSERT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), " 1  Wheel (1)  Pitch (1)  min (0)");

    r = Run({"matrix", "--data", VELTRANO_SOURCE_DIR "/data/Veltrano.txt", bank, "0"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), " 1  CC 1 ModWhl (1)  Param 1 ? (1)  Dirct (0)");

    WriteFile(UserFile(), "no lists here");
    r = Run({"matrix", bank, "0"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_NE(r.err.find("NAMES FILE PROBLEMS"), std::string::npos);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), " 1  CC 1 ModWhl (1)  Param 1 ? (1)  Dirct (0)");
}

} // namespace
} // namespace veltrano::clitest
