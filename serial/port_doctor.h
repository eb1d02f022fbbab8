#pragma once

#include <functional>
#include <string>
#include <vector>

#include "serial/port_diagnosis.h"
#include "serial/port_entry_check.h"
#include "serial/port_holders.h"
#include "serial/port_table.h"
#include "serial/usb_port_info.h"
#include "serial/user_identity.h"

// Everything that decides whether this user can reach a dosimeter on this
// machine: every candidate port with what the system knows of it, the services
// that are known to grab serial devices, and one suggestion per problem.
struct DoctorPort {
    PortEntry entry;          // COM number and the path the program opens
    UsbPortInfo usb;          // of the device the path leads to
    PortDiagnosis diagnosis;  // problem None: this user may open it
    PortHolders holders;      // who has it open now
};

struct DoctorReport {
    std::vector<DoctorPort> ports;
    std::vector<SkippedPortEntry> skipped;
    Knowledge modemManager = Knowledge::Unknown;
    Knowledge brltty = Knowledge::Unknown;
    std::string userName;
    std::vector<std::string> groups;
    std::vector<std::string> suggestions;

    bool SomePortOpens() const;
};

struct DoctorInput {
    PortTableConfig ports;
    SystemRoots roots;
    UserIdentity user;
    // Tries to open a port; the system error, 0 when it opens.
    std::function<int(const std::string&)> probe = ProbePortOpen;

    // This machine: DRAVO_PORT_DIR and DRAVO_NO_SYSTEM_PORTS, the current user.
    static DoctorInput FromEnvironment();
};

DoctorReport BuildDoctorReport(const DoctorInput& input);

// The report as lines of text for a terminal, ending with the result.
std::string DoctorReportText(const DoctorReport& report);
