[HURL]	<A HREF="index.html"></A>
[CREDIT]	<!-- This page was created by Velquist Pro-->
[VELQ]	Velquist Pro for Windows
