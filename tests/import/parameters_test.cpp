#include "import/core/parameters.h"

#include <gtest/gtest.h>

namespace {

using importer::Field;

importer::ParameterFields goodFields()
{
    importer::ParameterFields f;
    f.project = "A4 runs";
    f.delta = "0.1";
    f.pressure = "1.013";
    f.temperature = "18";
    f.mass = "1500";
    f.area = "2.2";
    f.time = "09:05";
    f.day = 9;
    f.month = 3;
    f.year = 2005;
    return f;
}

struct Run {
    std::array<std::string, 30> header;
    importer::ValidationOutcome outcome;
};

Run validate(const importer::ParameterFields& f, std::array<bool, 8>& flags)
{
    importer::ImportState import;
    Run r;
    r.header = importer::collectTestParameters(f, import);
    r.outcome = importer::validateTestParameters(r.header, flags, f.time);
    return r;
}

std::vector<std::string> texts(const importer::ValidationOutcome& o)
{
    std::vector<std::string> out;
    for (const auto& m : o.messages) out.push_back(m.message.text);
    return out;
}

TEST(CollectTestParameters, HeaderLines)
{
    importer::ImportState import;
    import.importLineCount = 1203;
    import.minVelocity = 7.5;
    import.maxVelocity = 120.25;
    import.minVelocityRow = 1200;
    import.maxVelocityRow = 3;
    auto f = goodFields();
    f.mass = "1250,5";
    f.pressure = "1,2";
    f.car = "Car,\nblue";
    f.configuration = "roof\tbox";
    f.weather = "dry\r";
    f.road = "asphalt";
    f.tester = "Kim\x01";
    f.time = "";
    const auto h = importer::collectTestParameters(f, import);
    const std::array<std::string, 30> want = {
        "A4 runs", "9.3.2005", "", "Car, blue", "Kim ", "0", "1203", "7.5", "120.25", "1200", "3", "0", "0.1", "0",
        "1250.5", "", "1.2", "18", "2.2", "roof box", "dry ", "asphalt", "0", "0", "0", "0", "0", "0", "0", "0"};
    EXPECT_EQ(h, want);
}

TEST(ValidateTestParameters, AllValidAndDefaultDynamicMass)
{
    std::array<bool, 8> flags{};
    auto r = validate(goodFields(), flags);
    EXPECT_TRUE(r.outcome.messages.empty());
    EXPECT_TRUE(importer::allFieldsValid(flags));
    EXPECT_EQ(r.header[15], "1545");
    auto f = goodFields();
    f.dynmass = "0";
    flags = {};
    EXPECT_EQ(validate(f, flags).header[15], "1545");
}

TEST(ValidateTestParameters, FieldBoundaries)
{
    struct Case {
        std::string importer::ParameterFields::*field;
        const char* text;
        const char* message;  // nullptr: accepted
        Field focus;
    };
    using PF = importer::ParameterFields;
    const Case cases[] = {
        {&PF::delta, "0.0001", nullptr, Field::Delta},
        {&PF::delta, "1", nullptr, Field::Delta},
        {&PF::delta, "0.00009", "Please insert sample rate between 0.0001 and 1!", Field::Delta},
        {&PF::delta, "1.5", "Please insert sample rate between 0.0001 and 1!", Field::Delta},
        {&PF::delta, "abc", "Sample rate is not numerical!", Field::Delta},
        {&PF::delta, "", "Sample rate is not numerical!", Field::Delta},
        {&PF::delta, " 1e-1 ", nullptr, Field::Delta},
        {&PF::pressure, "0.8", nullptr, Field::Pressure},
        {&PF::pressure, "1,5", nullptr, Field::Pressure},
        {&PF::pressure, "0.79", "Please insert pressure-value between 0.8 and 1.5!", Field::Pressure},
        {&PF::pressure, "1.51", "Please insert pressure-value between 0.8 and 1.5!", Field::Pressure},
        {&PF::pressure, "x", "Air pressure-value is not numerical!", Field::Pressure},
        {&PF::temperature, "-50", nullptr, Field::Temperature},
        {&PF::temperature, "100", nullptr, Field::Temperature},
        {&PF::temperature, "-50.1", "Please insert temperature-value between -50 and 100!", Field::Temperature},
        {&PF::temperature, "100.1", "Please insert temperature-value between -50 and 100!", Field::Temperature},
        {&PF::temperature, "warm", "Air temperature-value is not numerical!", Field::Temperature},
        {&PF::mass, "100", nullptr, Field::Mass},
        {&PF::mass, "50000", nullptr, Field::Mass},
        {&PF::mass, "99", "Please insert mass-value between 100 and 50000!", Field::Mass},
        {&PF::mass, "50001", "Please insert mass-value between 100 and 50000!", Field::Mass},
        {&PF::mass, "1.5t", "Vehicle mass-value is not numerical!", Field::Mass},
        {&PF::area, "10", nullptr, Field::Area},
        {&PF::area, "0.01", nullptr, Field::Area},
        {&PF::area, "0", "Please insert frontal area-value between 0 and 10!", Field::Area},
        {&PF::area, "10.01", "Please insert frontal area-value between 0 and 10!", Field::Area},
        {&PF::area, "-", "Frontal area-value is not numerical!", Field::Area},
        {&PF::dynmass, "1500", nullptr, Field::Dynmass},
        {&PF::dynmass, "50000", nullptr, Field::Dynmass},
        {&PF::dynmass, "1400", "Please insert dynamic mass-value between mass-value and 50000!", Field::Dynmass},
        {&PF::dynmass, "60000", "Please insert dynamic mass-value between 100 and 50000!", Field::Dynmass},
        {&PF::dynmass, "heavy", "Dynamic mass-value is not numerical!", Field::Dynmass},
        {&PF::time, "14:30", nullptr, Field::Time},
        {&PF::time, "00:00", nullptr, Field::Time},
        {&PF::time, "23:59", nullptr, Field::Time},
        {&PF::time, "", nullptr, Field::Time},
        {&PF::time, "9:05", "Test start-time is not correct!", Field::Time},
        {&PF::time, "24:00", "Test start-time is not correct!", Field::Time},
        {&PF::time, "12:60", "Test start-time is not correct!", Field::Time},
        {&PF::time, "12.30", "Test start-time is not correct!", Field::Time},
        {&PF::time, "ab:cd", "Test start-time is not correct!", Field::Time},
        {&PF::project, "", "Please insert project name!", Field::Project},
    };
    for (const Case& c : cases) {
        auto f = goodFields();
        f.*c.field = c.text;
        std::array<bool, 8> flags{};
        const auto r = validate(f, flags);
        if (!c.message) {
            EXPECT_TRUE(r.outcome.messages.empty()) << c.text;
            EXPECT_TRUE(importer::allFieldsValid(flags)) << c.text;
            continue;
        }
        ASSERT_EQ(r.outcome.messages.size(), 1u) << c.text;
        const auto& m = r.outcome.messages[0];
        EXPECT_EQ(m.message.text, c.message) << c.text;
        EXPECT_EQ(m.message.title, "Warning");
        EXPECT_EQ(m.message.icon, platform::Icon::Critical);
        EXPECT_EQ(m.focus, c.focus) << c.text;
        EXPECT_EQ(m.selectLength, c.focus == Field::Project ? 0 : c.focus == Field::Time ? 5 : 20) << c.text;
        EXPECT_FALSE(importer::allFieldsValid(flags)) << c.text;
        EXPECT_EQ(r.outcome.startTimeText.has_value(), c.focus == Field::Time) << c.text;
    }
}

TEST(ValidateTestParameters, StopsAtTheFirstFailureAndFlagsPersist)
{
    auto f = goodFields();
    f.delta = "5";
    f.pressure = "7";
    std::array<bool, 8> flags{};
    EXPECT_EQ(texts(validate(f, flags).outcome), std::vector<std::string>{"Please insert sample rate between 0.0001 and 1!"});
    f.delta = "0.1";
    EXPECT_EQ(texts(validate(f, flags).outcome), std::vector<std::string>{"Please insert pressure-value between 0.8 and 1.5!"});

    // A fresh form with an empty project examines nothing else.
    f = goodFields();
    f.project = "";
    f.delta = "x";
    flags = {};
    EXPECT_EQ(texts(validate(f, flags).outcome), std::vector<std::string>{"Please insert project name!"});

    // Once the area passed, a later press that fails early still runs the dynamic-mass check.
    f = goodFields();
    f.dynmass = "1400";
    flags = {};
    validate(f, flags);
    EXPECT_TRUE(flags[6]);
    EXPECT_FALSE(flags[7]);
    f.delta = "9";
    EXPECT_EQ(texts(validate(f, flags).outcome),
              (std::vector<std::string>{"Please insert sample rate between 0.0001 and 1!",
                                        "Please insert dynamic mass-value between mass-value and 50000!"}));
    EXPECT_FALSE(importer::allFieldsValid(flags));
}

}  // namespace
