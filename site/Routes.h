#pragma once
// The board's page addresses and the objects and methods that serve them.
