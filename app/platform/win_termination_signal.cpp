#include "app/platform/termination_signal.h"

TerminationSignal::TerminationSignal(QObject *parent) : QObject(parent) {}

TerminationSignal::~TerminationSignal() = default;

void TerminationSignal::terminate() {}
