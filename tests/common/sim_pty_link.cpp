#include "sim_pty_link.h"

#include "link/serial_port.h"

CSimPtyLink::CSimPtyLink(bool pacing, std::uint32_t seed)
    : sim_(std::make_shared<CControllerSim>(seed)), server_(sim_) {
    server_.setPacing(pacing);
    server_.start();
    auto port = std::make_unique<CSerialPort>();
    CPortNames names;
    names.setFirstPath(server_.slavePath());
    port->setPortNames(names);
    device_ = std::make_unique<CLPGDevice>(ui_, std::move(port));
}

CSimPtyLink::~CSimPtyLink() {
    // The port closes before the terminal goes, as an unplugged adapter never would.
    device_->disconnect();
    server_.stop();
}
