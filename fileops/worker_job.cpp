#include "fileops/worker_job.h"

WorkerJob gWorkerJob;
