#include "kv_backpackitem.h"

KV_BackpackItem::~KV_BackpackItem() = default;
