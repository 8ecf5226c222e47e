#pragma once

namespace gribb::test
{
/** X errors reported to this process since it started (the handler is installed before main). */
int xErrorCount();
} // namespace gribb::test
