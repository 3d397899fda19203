#pragma once
// A board on a fresh database whose mail relay is a loopback SMTP sink, for
// the pages that send mail.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"
#include "platform/Charset.h"
#include "platform/SmtpSink.h"

class MailPageTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    MailPageTest() {
        platform::Application& app = host.application();
        app.Set("SmtpServer", sink.Address());
        app.Set("BBEMail", "board@example.com");
        app.Set("BBName", "清风论坛");
        app.Set("BBURL", "http://board.test/");
        app.Set("SubmitInterval", 60);
    }

    // The body of a mail the sink took, as UTF-8.
    static std::string MailText(const testing_smtp::SinkMail& mail) {
        return platform::GbkToUtf8(testing_smtp::DecodeBase64(mail.RawBody()));
    }

    // A POST from a client address of its own, unless `from` names one: the
    // mail pages take one mail per interval from each address.
    site::DriverResponse PostFrom(const std::string& page, site::Fields form, std::string from = "") {
        site::DriverRequest request;
        request.method = "POST";
        request.page = page;
        request.form = std::move(form);
        request.headers = {{"Host", "board.test"}};
        request.remoteAddr = from.empty() ? "10.9.0." + std::to_string(++clients_) : from;
        return driver.Run(request);
    }

    testing_smtp::SmtpSink sink;

private:
    int clients_ = 0;
};
