#include "protocol/settings_record.h"

#include "protocol/endpoints.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace xuan5 {
namespace {

constexpr std::string_view kMarker = kSuccessMarker;
const Message kLoaded{"用户数据读取成功", "提示", Message::Kind::Notice};
const Message kLoadFailed{"用户数据获取失败", "提示", Message::Kind::Io};
const Message kMalformed{"数据获取成功，但是格式有错，最终失败", "提示", Message::Kind::Damaged};

// What the service does with the query value.
std::string PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string hex(text.substr(i + 1, 2));
            out.push_back(static_cast<char>(std::stoi(hex, nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<std::string> AsVector(const SettingsFields& fields) {
    return {fields.begin(), fields.end()};
}

TEST(SettingsRecord, DefaultRecord) {
    const Result<std::string> r = BuildSettingsRecord(DefaultSettingsFields());
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.messages().empty());
    EXPECT_EQ(*r,
              "*sz*230/230/230/230/230/230/230/230/230/230/230/230/230/230/230*5/05*01.02.03.04."
              "05/01.02.03.04/06.07.08.09.10/01.02.03.04/11.12.13.14.15/01.02.03.04/03*sz*");
    EXPECT_EQ(r->size(), 156u);
    EXPECT_EQ(kSettingsFieldControls[0], "T_quxian_zhushu_0");
    EXPECT_EQ(kSettingsFieldControls[15], "T_jh_dadi_chongfu_cs");
    EXPECT_EQ(kSettingsFieldControls[23], "T_jh_dadi_fenzu_rc");
}

TEST(SettingsRecord, FieldsThatCannotRoundTripAreRefused) {
    for (const char* bad : {"2/3", "*", "*sz*", "a*b", "/"}) {
        for (int index : {0, 14, 16, 23}) {
            SettingsFields fields = DefaultSettingsFields();
            fields[index] = bad;
            const Result<std::string> r = BuildSettingsRecord(fields);
            EXPECT_FALSE(r.ok()) << bad << " at " << index;
            EXPECT_EQ(r.messages(), (std::vector<Message>{{"设置中含有非法字符（/ 或 *），未上传",
                                                           "提示", Message::Kind::Refused}}));
        }
    }
}

TEST(SettingsRecord, RequestUrls) {
    EXPECT_EQ(SettingsLoadUrl("http://127.0.0.1:8080"),
              "http://127.0.0.1:8080/11xuan5/huaxian/save.asp?lx=2&zt=2&");
    EXPECT_EQ(SettingsLoadUrl("http://127.0.0.1:8080/"),
              "http://127.0.0.1:8080/11xuan5/huaxian/save.asp?lx=2&zt=2&");
    EXPECT_EQ(SettingsSaveUrl("http://h:1", "*sz*a b&c#d%e*sz*"),
              "http://h:1/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi="
              "%2Asz%2Aa%20b%26c%23d%25e%2Asz%2A");
    EXPECT_EQ(PercentEncode("中~._-Az09+=?/"), "%E4%B8%AD~._-Az09%2B%3D%3F%2F");
    EXPECT_EQ(PercentEncode(""), "");

    // The service gets back exactly the record, and the query holds no raw reserved character.
    SettingsFields fields = DefaultSettingsFields();
    fields[3] = "2 3&x=1#%";
    fields[20] = "中文 01.02\r\n";
    const std::string record = *BuildSettingsRecord(fields);
    const std::string url = SettingsSaveUrl("http://127.0.0.1:9", record);
    const std::string prefix = "http://127.0.0.1:9/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=";
    ASSERT_EQ(url.rfind(prefix, 0), 0u);
    const std::string value = url.substr(prefix.size());
    EXPECT_EQ(value.find_first_of("&#=?/* \r\n"), std::string::npos);
    EXPECT_EQ(PercentDecode(value), record);
}

TEST(SettingsRecord, SaveOutcome) {
    EXPECT_EQ(SettingsSaveOutcome("saved **success** now"),
              (Message{"数据上传服务器完毕", "提示", Message::Kind::Notice}));
    const std::vector<Message> failed{{"数据上传出错", "提示", Message::Kind::Io}};
    EXPECT_EQ(SettingsSaveOutcome("").messages(), failed);
    EXPECT_EQ(SettingsSaveOutcome("*success*").messages(), failed);
}

TEST(SettingsRecord, SaveThenLoadRestoresEveryField) {
    std::mt19937_64 rng(12);
    const std::vector<std::string> pieces = {"",  "0", "230", " ", "01.02", "中",   "&",
                                             "%", "#", "=",   "s", "z",     "\r\n", "a b"};
    for (int round = 0; round < 500; ++round) {
        SettingsFields fields;
        for (std::string& field : fields) {
            const int count = static_cast<int>(rng() % 4);
            for (int i = 0; i < count; ++i) field += pieces[rng() % pieces.size()];
        }
        const Result<std::string> built = BuildSettingsRecord(fields);
        ASSERT_TRUE(built.ok());
        const std::string response = "x" + std::string(kMarker) + "\r\n" + *built;
        const SettingsLoadResult loaded = ParseSettingsResponse(response);
        ASSERT_EQ(loaded.notices.front(), kLoaded);
        ASSERT_EQ(loaded.value, AsVector(fields));
    }
    // All fields empty.
    SettingsFields empty;
    const SettingsLoadResult loaded =
        ParseSettingsResponse(std::string(kMarker) + *BuildSettingsRecord(empty));
    EXPECT_EQ(loaded.notices.front(), kLoaded);
    EXPECT_EQ(loaded.value, AsVector(empty));
}

TEST(SettingsRecord, LoadStopsAtTheFirstMissingPiece) {
    const std::string a = "1/2/3/4/5/6/7/8/9/10/11/12/13/14/15";
    const std::string m(kMarker);
    // No marker: nothing is read, whatever the text holds.
    SettingsLoadResult r = ParseSettingsResponse("*sz*" + a + "*5/05*1/2/3/4/5/6/7*sz*");
    EXPECT_EQ(r.notices.front(), kLoadFailed);
    EXPECT_TRUE(r.value.empty());
    r = ParseSettingsResponse("");
    EXPECT_EQ(r.notices.front(), kLoadFailed);

    // The marker but no complete record.
    r = ParseSettingsResponse(m + " no record");
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_TRUE(r.value.empty());
    r = ParseSettingsResponse(m + "*sz*" + a + "*5/05*1/2/3/4/5/6/7");  // cut off
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_TRUE(r.value.empty());
    r = ParseSettingsResponse(m + "*sz**sz*");
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_TRUE(r.value.empty());
    // Section A short: its fields are written, then the load stops.
    r = ParseSettingsResponse(m + "*sz*1/2/3*5/05*1/2/3/4/5/6/7*sz*");
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_EQ(r.value, (std::vector<std::string>{"1", "2", "3"}));
    // Only section A.
    r = ParseSettingsResponse(m + "*sz*" + a + "*sz*");
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_EQ(r.value.size(), 15u);
    EXPECT_EQ(r.value[14], "15");
    // Section C short by one.
    r = ParseSettingsResponse(m + "*sz*" + a + "*5/05*1/2/3/4/5/6*sz*");
    EXPECT_EQ(r.notices.front(), kMalformed);
    EXPECT_EQ(r.value.size(), 23u);
    EXPECT_EQ(r.value[16], "05");
    EXPECT_EQ(r.value[22], "6");

    // Extra fields and sections are ignored; the marker may stand anywhere.
    r = ParseSettingsResponse("*sz*" + a + "/99*5/05/x*1/2/3/4/5/6/7/8*extra*sz*tail" + m);
    EXPECT_EQ(r.notices.front(), kLoaded);
    ASSERT_EQ(r.value.size(), 24u);
    EXPECT_EQ(r.value[14], "15");
    EXPECT_EQ(r.value[15], "5");
    EXPECT_EQ(r.value[16], "05");
    EXPECT_EQ(r.value[17], "1");
    EXPECT_EQ(r.value[23], "7");
}

}  // namespace
}  // namespace xuan5
