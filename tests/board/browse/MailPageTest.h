#pragma once
// A board on a fresh database whose mail relay is a loopback SMTP sink, for
// the pages that send mail.
#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"
#include "platform/Charset.h"
#include "platform/SmtpSink.h"
#include "site/BoardHost.h"
#include "site/RequestDriver.h"

class MailPageTest : public ::testing::Test {
protected:
    MailPageTest() {
        platform::Application& app = host.application();
        app.Set("SmtpServer", sink.Address());
        app.Set("BBEMail", "board@example.com");
        app.Set("BBName", "清风论坛");
        app.Set("BBURL", "http://board.test/");
        app.Set("SubmitInterval", 60);
    }

    static bool Has(const std::string& body, const std::string& what) {
        return body.find(what) != std::string::npos;
    }
    // The body of a mail the sink took, as UTF-8.
    static std::string MailText(const testing_smtp::SinkMail& mail) {
        return platform::GbkToUtf8(testing_smtp::DecodeBase64(mail.RawBody()));
    }

    TestDatabase db;
    testing_smtp::SmtpSink sink;
    site::BoardHost host;
    site::RequestDriver driver{host};
};
