#include <gtest/gtest.h>

#include <string>

#include "diagnostics/error_reporter.h"
#include "support/test_support.h"

namespace {

std::string report(const char* file, int line_number, const char* text, const char* position, unsigned width,
                   int code) {
    return test::console_of([&] { report_error(file, line_number, text, position, width, code); });
}

std::string items(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += ",";
        text += (i < 10 ? "item0" : "item") + std::to_string(i);
    }
    return text;
}

TEST(ErrorReporter, OneLineMessagesUseTheirOneParameter) {
    struct Case {
        int code;
        std::string expected;
    };
    const Case cases[] = {
        {1, "ERROR: Unable to locate FS2002 in computer\n\n"},
        {2, "\nERROR: Unable to open output file F.TXT\n\n"},
        {4, "\nERROR: Unable to write to output file F.TXT\n\n"},
        {5, "\nERROR: Unable to read from file F.TXT\n\n"},
        {6, "\nERROR: Unable to delete old traffic file\nF.TXT\nIs it write protected?\n\n"},
        {8, "\nERROR: A flight plan specifies an aircraft type KXYZ\nThat type is not in the Aircraft.txt file\n\n"},
        {9, "\nERROR: A flight plan specifies the airport KXYZ\nThat airport is not in the Airports.txt file\n\n"},
        {10, "\nERROR: Unable to find or open file F.TXT\n\n"},
        {11, "\nERROR: Unable to create file F.TXT\n\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(report("F.TXT", 12, "KXYZ", nullptr, 3, c.code), c.expected) << "code " << c.code;
    }
    EXPECT_EQ(report("Airports.txt", 0, "", nullptr, 0, 11), "\nERROR: Unable to create file Airports.txt\n\n");
}

TEST(ErrorReporter, ShortLineWorkedExample) {
    const char text[] = "alpha,beta,gamma";
    EXPECT_EQ(report("plan.txt", 7, text, text + 6, 4, 29),
              "\nERROR in file plan.txt :\n\n"
              "Line 7: alpha,beta,gamma\n"
              "              |--|\n"
              "              Error location\n\n"
              "The elevation format is bad\n\n");
}

TEST(ErrorReporter, LongLineStopsAfterThePieceHoldingTheError) {
    const std::string text = items(20);
    ASSERT_EQ(text.size(), 139u);
    EXPECT_EQ(report("plan.txt", 123, text.c_str(), text.c_str() + text.find("item14"), 6, 3),
              "\nERROR in file plan.txt :\n\n"
              "Line 123: item01,item02,item03,item04,item05,item06,item07,item08,item09,...\n"
              "          item10,item11,item12,item13,item14,item15,item16,item17,item18,...\n"
              "                                      |----|\n"
              "                                      Error location\n\n"
              "\n\n");
    EXPECT_EQ(report("plan.txt", 123, text.c_str(), text.c_str() + text.find("item03"), 6, 3),
              "\nERROR in file plan.txt :\n\n"
              "Line 123: item01,item02,item03,item04,item05,item06,item07,item08,item09,...\n"
              "                        |----|\n"
              "                        Error location\n\n"
              "\n\n");
}

// The lines of the display between the header and the closing blank line.
struct DisplayCase {
    const char* what;
    std::string text;
    std::size_t error_at;  // offset into text
    unsigned width;
    std::string expected_body;
};

TEST(ErrorReporter, LineCuttingAndMarkerEdges) {
    const std::string no_commas(100, 'x');
    std::string comma_at_candidate(100, 'y');
    comma_at_candidate[67] = ',';  // "Line 7: " is 8 wide: the candidate is 75 - 8 = 67
    std::string comma_at_start(100, 'z');
    comma_at_start[0] = ',';
    const std::string last_piece = items(20);
    const DisplayCase cases[] = {
        {"width 0 draws one bar", "abc", 1, 0, "Line 7: abc\n         |\n         Error location\n\n"},
        {"width 1 draws one bar", "abc", 1, 1, "Line 7: abc\n         |\n         Error location\n\n"},
        {"width 2 draws two bars", "abc", 1, 2, "Line 7: abc\n         ||\n         Error location\n\n"},
        {"marker runs past the text", "abc", 2, 5, "Line 7: abc\n          |---|\n          Error location\n\n"},
        {"empty text shows no line", "", 0, 1, "        |\n        Error location\n\n"},
        {"no comma: cut at the candidate", no_commas, 80, 1,
         "Line 7: " + std::string(67, 'x') + "...\n        " + std::string(33, 'x') + "\n" + std::string(21, ' ') +
             "|\n" + std::string(21, ' ') + "Error location\n\n"},
        {"comma at the candidate ends a 79-column piece", comma_at_candidate, 0, 1,
         "Line 7: " + comma_at_candidate.substr(0, 68) + "...\n        |\n        Error location\n\n"},
        {"comma at the piece start is no cut point", comma_at_start, 0, 1,
         "Line 7: " + comma_at_start.substr(0, 67) + "...\n        |\n        Error location\n\n"},
        {"error exactly at a cut belongs to the next piece", no_commas, 67, 1,
         "Line 7: " + std::string(67, 'x') + "...\n        " + std::string(33, 'x') +
             "\n        |\n        Error location\n\n"},
        {"label indent is capped at 64", std::string(70, 'w'), 69, 1,
         "Line 7: " + std::string(70, 'w') + "\n" + std::string(77, ' ') + "|\n" + std::string(64, ' ') +
             "Error location\n\n"},
        {"last piece of a long line", last_piece, last_piece.find("item20"), 6,
         "Line 7: item01,item02,item03,item04,item05,item06,item07,item08,item09,...\n"
         "        item10,item11,item12,item13,item14,item15,item16,item17,item18,...\n"
         "        item19,item20\n" +
             std::string(15, ' ') + "|----|\n" + std::string(15, ' ') + "Error location\n\n"},
    };
    for (const DisplayCase& c : cases) {
        const std::string shown =
            report("f", 7, c.text.c_str(), c.text.c_str() + c.error_at, c.width, 0);
        EXPECT_EQ(shown, "\nERROR in file f :\n\n" + c.expected_body + "\n\n") << c.what;
    }
}

TEST(ErrorReporter, PositionOutsideTheTextIsTakenAsItsEnd) {
    const char text[64] = "abc";  // room past the terminator
    const char elsewhere[] = "elsewhere";
    const std::string at_end = "\nERROR in file f :\n\nLine 7: abc\n           |\n           Error location\n\n\n\n";
    EXPECT_EQ(report("f", 7, text, nullptr, 1, 0), at_end);
    EXPECT_EQ(report("f", 7, text, elsewhere, 1, 0), at_end);
    EXPECT_EQ(report("f", 7, text, text + 50, 1, 0), at_end);
    // A long text and a position far beyond it: the marker stays inside the
    // last piece shown.
    const std::string long_text(300, 'q');
    const std::string shown = report("f", 7, long_text.c_str(), long_text.c_str() + 5000, 1, 0);
    EXPECT_NE(shown.find("\n" + std::string(8 + 300 % 67, ' ') + "|\n"), std::string::npos) << shown;
}

TEST(ErrorReporter, CatalogueMessagesOfLocatedErrors) {
    struct Case {
        int code;
        std::string message;
    };
    const Case cases[] = {
        {12, "A parameter is missing, expecting the airport code here"},
        {27, "A parameter is missing, expecting F or T here"},
        {30, "Latitude format is bad, expecting something like N45* 21.43' or N45* 21' 10\""},
        {38, "The aircraft type description format is bad (should be something like \"Boeing 737-400\")"},
        {39, "The aircraft name is limited to 100 characters"},
        {40, "The aircraft registration is limited to 7 characters"},
        {42, "The AI Percent must be between 1% and 100% inclusive"},
        {43, "The cycle repeat period must be one of 1,2,4,6,8,12 or 24 hours or \"WEEK\""},
        {45, "The departure time must be in the form HH:MM:SS or HH:MM\nor D/HH:MM:SS for weekly repeat periods"},
        {55, "A synchronisation error occured for unknown reasons\nwhile inserting arrival times.\n"
             "Arrival time insertion has been cancelled."},
        {3, ""},
        {7, ""},
        {56, ""},
        {-1, ""},
    };
    const char text[] = "x";
    for (const Case& c : cases) {
        const std::string shown = report("f", 1, text, text, 1, c.code);
        const std::string label = "Error location\n\n";
        const std::size_t after_label = shown.find(label) + label.size();
        EXPECT_EQ(shown.substr(after_label), c.message + "\n\n") << "code " << c.code;
    }
}

}  // namespace
