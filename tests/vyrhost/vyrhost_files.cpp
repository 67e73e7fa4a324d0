// Helpers shared by the host program's tests for the files they hand to
// vyrhost and read back.
#include "vyrhost_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace VyrhostTest {

TestHdf::DataSet MakeSet(int32_t NumberType, std::vector<int32_t> Dims, std::string Label,
                         std::vector<double> Values) {
    TestHdf::DataSet Set;
    Set.NumberType = NumberType;
    Set.Dims = std::move(Dims);
    Set.Label = std::move(Label);
    Set.Values = std::move(Values);
    return Set;
}

std::string ReadText(const std::string& Path) {
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

nlohmann::json ReadJson(const std::string& Path) {
    const std::string Text = ReadText(Path);
    const nlohmann::json Parsed = nlohmann::json::parse(Text, nullptr, false);
    EXPECT_FALSE(Parsed.is_discarded()) << Path << " holds no JSON: " << Text;
    // vyrhost writes the document as it goes; its bytes must be those of
    // the library's dump of the same document, members in their order.
    const nlohmann::ordered_json Ordered = nlohmann::ordered_json::parse(Text, nullptr, false);
    if (!Ordered.is_discarded()) {
        EXPECT_EQ(Ordered.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                      "\n",
                  Text)
            << Path;
    }
    return Parsed.is_discarded() ? nlohmann::json::object() : Parsed;
}

void ExpectHostLeftClean(const nlohmann::json& State) {
    EXPECT_EQ(State.value("lock_depth", -1), 0);
    EXPECT_EQ(State.value("host_allocations_outstanding", -1), 0);
}

} // namespace VyrhostTest
